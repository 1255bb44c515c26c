#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>

#include "common/office/zip_archive.h"
#include "tests/support/test_files.h"

namespace velmor {
namespace {

using test::Bytes;
using Method = ZipWriter::Method;

// A field as the layout tables give it: `width` bytes, little-endian.
std::string Le(uint32_t value, int width) {
  std::string bytes;
  for (int i = 0; i < width; ++i) bytes += static_cast<char>(value >> (8 * i));
  return bytes;
}

uint32_t Get(const Bytes& zip, std::size_t at, int width) {
  uint32_t value = 0;
  for (int i = width; i-- > 0;) value = value << 8 | zip.at(at + i);
  return value;
}

void Set(Bytes& zip, std::size_t at, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) zip.at(at + i) = static_cast<unsigned char>(value >> (8 * i));
}

// Where records start, in an archive without extra fields or comments.
std::size_t End(const Bytes& zip) { return zip.size() - 22; }

std::size_t Central(const Bytes& zip, std::size_t index) {
  std::size_t at = Get(zip, End(zip) + 16, 4);
  while (index-- > 0) at += 46 + Get(zip, at + 28, 2);
  return at;
}

std::size_t Local(const Bytes& zip, std::size_t index) {
  return Get(zip, Central(zip, index) + 42, 4);
}

std::string Text(std::size_t size) {
  std::string text;
  for (int line = 0; text.size() < size; ++line) {
    text += "<w:p><w:r><w:t>line " + std::to_string(line) + "</w:t></w:r></w:p>\n";
  }
  text.resize(size);
  return text;
}

std::string Noise(std::size_t size) {
  std::string noise(size, '\0');
  uint32_t state = 12345;
  for (char& c : noise) c = static_cast<char>((state = state * 1103515245 + 12345) >> 23);
  return noise;
}

Bytes Write(const std::vector<std::pair<std::string, std::string>>& entries, Method method) {
  ZipWriter writer;
  for (const auto& [name, content] : entries) EXPECT_TRUE(writer.Add(name, content, method));
  return writer.Finish();
}

TEST(ZipWriter, LaysOutHeadersByTheTable) {
  ZipWriter writer;
  ASSERT_TRUE(writer.Add("a.txt", "hi"));  // too short to shrink: stored
  const std::string crc = Le(0xD8932AAC, 4);
  const std::string expected =
      "PK\x03\x04" + Le(20, 2) + Le(0, 2) + Le(0, 2) + Le(0, 2) + Le(0x21, 2) + crc + Le(2, 4) +
      Le(2, 4) + Le(5, 2) + Le(0, 2) + "a.txt" + "hi" +
      "PK\x01\x02" + Le(20, 2) + Le(20, 2) + Le(0, 2) + Le(0, 2) + Le(0, 2) + Le(0x21, 2) + crc +
      Le(2, 4) + Le(2, 4) + Le(5, 2) + Le(0, 2) + Le(0, 2) + Le(0, 2) + Le(0, 2) + Le(0, 4) +
      Le(0, 4) + "a.txt" +
      "PK\x05\x06" + Le(0, 2) + Le(0, 2) + Le(1, 2) + Le(1, 2) + Le(51, 4) + Le(37, 4) + Le(0, 2);
  const Bytes zip = writer.Finish();
  EXPECT_EQ(std::string(zip.begin(), zip.end()), expected);
}

TEST(ZipWriter, MarksOnlyUtf8NamesAsUtf8) {
  const std::pair<const char*, uint16_t> cases[] = {
      {"word/document.xml", 0},
      {"\xb2\xe2\xca\xd4.txt", 0},                 // GBK
      {"\xe6\xb5\x8b\xe8\xaf\x95.txt", 0x800},     // UTF-8
  };
  for (const auto& [name, flags] : cases) {
    const Bytes zip = Write({{name, "x"}}, Method::kStored);
    EXPECT_EQ(Get(zip, 6, 2), flags) << name;
    EXPECT_EQ(Get(zip, Central(zip, 0) + 8, 2), flags) << name;
  }
}

TEST(ZipWriter, RefusesWhatTheFieldsCannotHold) {
  ZipWriter writer;
  EXPECT_FALSE(writer.Add(std::string(0x10000, 'n'), "x"));
  EXPECT_TRUE(writer.Add(std::string(0xFFFF, 'n'), "x"));
  for (int i = 1; i < 0xFFFE; ++i) ASSERT_TRUE(writer.Add(std::to_string(i), "", Method::kStored));
  EXPECT_FALSE(writer.Add("one too many", "", Method::kStored));  // 0xFFFF means zip64
  const Bytes zip = writer.Finish();
  ZipArchive archive;
  ASSERT_TRUE(archive.Open(zip.data(), zip.size(), ZipLimits{0xFFFF, 1, 1}));
  EXPECT_EQ(archive.entries().size(), 0xFFFEu);
  EXPECT_EQ(archive.entries().back().name, std::to_string(0xFFFD));
}

TEST(ZipArchive, ReadsBackWhatWasWritten) {
  struct Case {
    const char* name;
    std::string content;
    Method method;
    uint16_t stored;  // the method the entry ends up with
  };
  const Case cases[] = {
      {"empty-deflated", "", Method::kDeflated, 0},
      {"word/document.xml", Text(5000), Method::kDeflated, 8},
      {"big-deflated.xml", Text(1 << 20), Method::kDeflated, 8},
      {"media/noise.bin", Noise(1 << 20), Method::kDeflated, 0},  // deflate would not shrink it
  };
  ZipWriter writer;
  Bytes zips[2];
  for (Bytes& zip : zips) {
    for (const Case& c : cases) ASSERT_TRUE(writer.Add(c.name, c.content, c.method));
    zip = writer.Finish();
  }
  // The writer starts afresh after Finish, and the same entries make the same bytes.
  EXPECT_TRUE(zips[0] == zips[1]);
  const Bytes& zip = zips[1];

  ZipArchive archive;
  ASSERT_TRUE(archive.Open(zip.data(), zip.size()));
  ASSERT_EQ(archive.entries().size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const ZipEntry& entry = archive.entries()[i];
    EXPECT_EQ(entry.name, cases[i].name);
    EXPECT_EQ(entry.method, cases[i].stored) << entry.name;
    std::string out = "stale";
    EXPECT_TRUE(archive.Read(entry, out)) << entry.name;
    EXPECT_TRUE(out == cases[i].content) << entry.name;
  }
}

TEST(ZipArchive, FindIgnoresAsciiCaseAndOneLeadingSlash) {
  const Bytes zip = Write({{"[Content_Types].xml", ""}, {"word/document.xml", ""}, {"\xc4.txt", ""}},
                          Method::kStored);
  ZipArchive archive;
  ASSERT_TRUE(archive.Open(zip.data(), zip.size()));
  const std::pair<const char*, const char*> cases[] = {
      {"word/document.xml", "word/document.xml"},
      {"/WORD/Document.XML", "word/document.xml"},
      {"[CONTENT_types].xml", "[Content_Types].xml"},
      {"\xc4.TXT", "\xc4.txt"},
      {"//word/document.xml", nullptr},
      {"word/document.xm", nullptr},
      {"\xe4.txt", nullptr},  // only ASCII letters fold
  };
  for (const auto& [query, found] : cases) {
    const ZipEntry* entry = archive.Find(query);
    EXPECT_EQ(entry ? entry->name : "(none)", found ? found : "(none)") << query;
  }
}

// Archives that Info-ZIP wrote: stored and deflated entries, zip64 records, a streamed entry.
TEST(ZipArchive, ReadsWhatInfoZipWrote) {
  std::string document = "<?xml version=\"1.0\"?>\n<w:document>";
  for (int i = 1; i <= 40; ++i) document += "<w:p>line " + std::to_string(i) + "</w:p>";
  document += "</w:document>\n";
  const struct {
    std::string file;
    const char* name;
    std::string content;
  } cases[] = {
      {"info-zip.zip", "a.txt", "short"},
      {"info-zip.zip", "word/document.xml", document},
      {"info-zip64.zip", "word/document.xml", document},
      {"info-zip-stream.zip", "-", document},
  };
  for (const auto& c : cases) {
    const Bytes zip = test::ReadFileBytes(test::SourcePath("fuzz/corpus/zip/" + c.file));
    ZipArchive archive;
    ASSERT_TRUE(archive.Open(zip.data(), zip.size())) << c.file;
    const ZipEntry* entry = archive.Find(c.name);
    ASSERT_NE(entry, nullptr) << c.file << " " << c.name;
    std::string out;
    EXPECT_TRUE(archive.Read(*entry, out)) << c.file << " " << c.name;
    EXPECT_EQ(out, c.content) << c.file << " " << c.name;
  }
}

TEST(ZipArchive, RefusesADamagedDirectory) {
  const Bytes good = Write({{"a.txt", "hello"}, {"b.xml", Text(3000)}, {"c.txt", "x"}},
                           Method::kDeflated);
  struct Case {
    const char* what;
    void (*damage)(Bytes&);
    std::size_t maxEntries;
    bool opens;
  };
  const Case cases[] = {
      {"intact", [](Bytes&) {}, 3, true},
      {"more entries than allowed", [](Bytes&) {}, 2, false},
      {"cut short", [](Bytes& z) { z.pop_back(); }, 3, false},
      {"count above the directory", [](Bytes& z) { Set(z, End(z) + 8, 0x40004, 4); }, 9, false},
      {"count below the directory", [](Bytes& z) { Set(z, End(z) + 8, 0x20002, 4); }, 9, false},
      {"directory past the end", [](Bytes& z) { Set(z, End(z) + 16, z.size(), 4); }, 3, false},
      {"directory runs into the end record", [](Bytes& z) { z[End(z) + 12] += 1; }, 3, false},
      {"second disk", [](Bytes& z) { Set(z, End(z) + 4, 1, 2); }, 3, false},
      {"entry on a second disk", [](Bytes& z) { Set(z, Central(z, 1) + 34, 1, 2); }, 3, false},
      {"zip64 marker, no zip64 records", [](Bytes& z) { Set(z, End(z) + 16, ~0u, 4); }, 3, false},
      {"zip64 marker, no zip64 field", [](Bytes& z) { Set(z, Central(z, 0) + 24, ~0u, 4); }, 3,
       false},
      {"name past the directory", [](Bytes& z) { Set(z, Central(z, 2) + 28, 0xFFFF, 2); }, 3,
       false},
      {"local header past the end", [](Bytes& z) { Set(z, Central(z, 2) + 42, z.size(), 4); }, 3,
       false},
      {"entries overlapping", [](Bytes& z) { Set(z, Central(z, 1) + 42, Local(z, 0), 4); }, 3,
       false},
  };
  for (const Case& c : cases) {
    Bytes zip = good;
    c.damage(zip);
    ZipArchive archive;
    ASSERT_TRUE(archive.Open(good.data(), good.size()));
    EXPECT_EQ(archive.Open(zip.data(), zip.size(), ZipLimits{c.maxEntries}), c.opens) << c.what;
    EXPECT_EQ(archive.entries().size(), c.opens ? 3u : 0u) << c.what;
  }
}

TEST(ZipArchive, RefusesADamagedEntryOrOneBeyondTheLimits) {
  const std::string contents[] = {"hello, archive", Text(20000), std::string(2 << 20, '\0')};
  ZipWriter writer;
  writer.Add("a.txt", contents[0], Method::kStored);
  writer.Add("b.xml", contents[1]);
  writer.Add("zeros.bin", contents[2]);
  const Bytes good = writer.Finish();
  const ZipLimits roomy{10, 4 << 20, 2000};
  struct Case {
    const char* what;
    std::size_t index;
    void (*damage)(Bytes&);
    ZipLimits limits;
    bool reads;
  };
  const Case cases[] = {
      {"bomb at the size limit", 2, [](Bytes&) {}, {10, 2 << 20, 2000}, true},
      {"bomb past the size limit", 2, [](Bytes&) {}, {10, (2 << 20) - 1, 2000}, false},
      {"bomb past the ratio limit", 2, [](Bytes&) {}, {10, 4 << 20, 500}, false},
      {"bomb under a false size", 2, [](Bytes& z) { Set(z, Central(z, 2) + 24, 1000, 4); }, roomy,
       false},
      {"inflates to less than its size", 1, [](Bytes& z) { z[Central(z, 1) + 24] += 1; }, roomy,
       false},
      {"bytes after the stream's end", 2,
       [](Bytes& z) {
         const uint32_t directory = Get(z, End(z) + 16, 4);
         z.insert(z.begin() + directory, 4, 0);
         Set(z, End(z) + 16, directory + 4, 4);
         Set(z, Central(z, 2) + 20, Get(z, Central(z, 2) + 20, 4) + 4, 4);
       },
       roomy, false},
      {"stored data changed", 0, [](Bytes& z) { z[Local(z, 0) + 30 + 5] ^= 1; }, roomy, false},
      {"encrypted", 0, [](Bytes& z) { z[Central(z, 0) + 8] |= 1; }, roomy, false},
      {"encrypted by the local header", 0, [](Bytes& z) { z[Local(z, 0) + 6] |= 1; }, roomy, false},
      {"unknown method", 0,
       [](Bytes& z) { z[Central(z, 0) + 10] = z[Local(z, 0) + 8] = 12; }, roomy, false},
      {"local name differs", 0, [](Bytes& z) { z[Local(z, 0) + 30] = 'A'; }, roomy, false},
      {"local extra field past the end", 2, [](Bytes& z) { Set(z, Local(z, 2) + 28, 0xFFFF, 2); },
       roomy, false},
  };
  for (const Case& c : cases) {
    Bytes zip = good;
    c.damage(zip);
    ZipArchive archive;
    ASSERT_TRUE(archive.Open(zip.data(), zip.size(), c.limits)) << c.what;
    std::string out = "stale";
    EXPECT_EQ(archive.Read(archive.entries().at(c.index), out), c.reads) << c.what;
    EXPECT_TRUE(out == (c.reads ? contents[c.index] : "")) << c.what;
  }
}

#ifndef _WIN32
// unzip tests every entry's data against its CRC.
TEST(ZipOutsideClient, UnzipFindsNoErrorInWhatWeWrote) {
  if (std::system("command -v unzip >/dev/null 2>&1") != 0) GTEST_SKIP() << "no unzip here";
  test::TempDir folder;
  const std::string path = folder.File("written.zip");
  test::WriteFileBytes(path, Write({{"word/document.xml", Text(20000)}, {"noise.bin", Noise(5000)},
                                    {"empty.txt", ""}}, Method::kDeflated));
  EXPECT_EQ(std::system(("unzip -tq '" + path + "' >/dev/null").c_str()), 0);
}
#endif

}  // namespace
}  // namespace velmor
