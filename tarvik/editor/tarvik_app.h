// CTarvikApp: the question-bank editor program. It initialises the platform, runs the editor
// window modally over the process-wide question bank, and the program ends with the window.
#pragma once

#include "framework/app.h"
#include "tarvik/model/question_bank.h"

namespace velmor {

class CTarvikApp : public fw::CApplication {
 public:
  QuestionBank& document() { return document_; }

 protected:
  bool InitInstance() override;

 private:
  QuestionBank document_;
};

}  // namespace velmor
