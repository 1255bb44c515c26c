#!/usr/bin/env bash
# Makes the question papers of the Word import tests with a real office suite: a flat
# OpenDocument paper (title block, headings, options on one line, material with a red bold
# heading and a picture, an answer section) and an HTML page of Aiken questions with options in
# a table, converted by LibreOffice (headless) to paper.docx and aiken.docx in OUT.
#   make_question_papers.sh OUT
set -euo pipefail
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 4 x 2 pixels: two red columns, two blue ones
picture='iVBORw0KGgoAAAANSUhEUgAAAAQAAAACCAIAAADwyuo0AAAAE0lEQVR4nGP4z8AARGDiPwMyBwBnsgf5Q2OaZwAAAABJRU5ErkJggg=='

cat >"$work/paper.fodt" <<FODT
<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
  xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
  xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
  xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
  xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
  xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
  office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">
<office:font-face-decls>
<style:font-face style:name="黑体" svg:font-family="黑体"/>
<style:font-face style:name="Arial" svg:font-family="Arial"/>
</office:font-face-decls>
<office:automatic-styles>
<style:style style:name="T1" style:family="text"><style:text-properties fo:color="#ff0000" fo:font-weight="bold" style:font-weight-asian="bold" style:font-name="Arial" style:font-name-asian="黑体" fo:font-size="14pt" style:font-size-asian="14pt"/></style:style>
</office:automatic-styles>
<office:body><office:text>
<text:p>信息技术期末试卷</text:p>
<text:p>班级：＿＿＿＿　姓名：＿＿＿＿</text:p>
<text:p>一、单项选择题（每题2分，共4分）</text:p>
<text:p>1．下列设备中，属于输入设备的是（　）（2分）</text:p>
<text:p>A．键盘<text:tab/>B．显示器<text:tab/>C．鼠标<text:tab/>D．打印机</text:p>
<text:p>2．下列属于存储设备的是（　）（2分）</text:p>
<text:p>A．硬盘　　B．鼠标　　C．U盘　　D．音箱</text:p>
<text:p>答案：AC</text:p>
<text:p>二、阅读理解</text:p>
<text:p><text:span text:style-name="T1">阅读材料</text:span></text:p>
<text:p>计算机由硬件和软件组成。</text:p>
<text:p><draw:frame draw:name="图1" text:anchor-type="as-char" svg:width="1in" svg:height="0.5in"><draw:image><office:binary-data>$picture</office:binary-data></draw:image></draw:frame></text:p>
<text:p>3．材料中计算机由什么组成？（3分）</text:p>
<text:p>A．硬件和软件　B．只有硬件</text:p>
<text:p>解析：见材料第一句。</text:p>
<text:p>4．哪个是软件？</text:p>
<text:p>A．操作系统　B．CPU</text:p>
<text:p>参考答案</text:p>
<text:p>1．A　2．A　3-4 AA　9．B</text:p>
</office:text></office:body></office:document>
FODT

cat >"$work/aiken.html" <<'HTML'
<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Aiken</title></head><body>
<p>【分类】Aiken</p>
<p>What is 2 + 2?</p>
<p>A. 3</p>
<p>B. 4</p>
<p>ANSWER: B</p>
<p><b>Which is a colour?</b></p>
<table><tr><td>A) Red</td><td>B) Cat</td></tr></table>
<p>ANSWER: A</p>
</body></html>
HTML

# A profile of its own, so that no other LibreOffice running on the machine is asked.
office() {  # FILE [OPTION...]
  local file=$1; shift
  timeout 180 soffice -env:UserInstallation="file://$work/profile" --headless "$@" --outdir "$out" "$file" \
    >"$work/soffice.log" 2>&1 || { cat "$work/soffice.log" >&2; exit 1; }
}
office "$work/paper.fodt" --convert-to docx
office "$work/aiken.html" --infilter="HTML (StarWriter)" --convert-to "docx:MS Word 2007 XML"
for f in paper.docx aiken.docx; do
  [ -s "$out/$f" ] || { echo "LibreOffice wrote no $f" >&2; exit 1; }
done
