#include "report/output_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "report/output_notes.h"
#include "support/temp_folder.h"
#include "support/test_files.h"

namespace quarvel {
namespace {

namespace fs = std::filesystem;

// Every entry under a folder, by its path relative to the folder: a file with
// its text, a folder with "/".
std::map<std::string, std::string> entriesOf(const fs::path& folder) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string relative = fs::relative(entry.path(), folder).string();
    if (entry.is_directory()) {
      entries.insert_or_assign(relative, std::string(1, '/'));
    } else {
      const auto bytes = test::readBytes(entry.path().string());
      entries[relative] = std::string(bytes.begin(), bytes.end());
    }
  }
  return entries;
}

enum class Ending { Commit, Drop, FailedStream };

struct DestinationCase {
  const char* name;
  std::function<void()> arrange;  // run in the folder before the file is made
  const char* destination;
  std::string content;
  Ending ending;
  int error;  // what commit() answers
  std::map<std::string, std::string> after;
};

class OutputFileTest : public testing::TestWithParam<DestinationCase> {};

TEST_P(OutputFileTest, ReplacesTheDestinationWholeOrLeavesEverythingAsItWas) {
  const DestinationCase& c = GetParam();
  test::TempFolder folder;
  test::WorkingFolder inside(folder.path());
  if (c.arrange) c.arrange();
  const std::size_t entriesBefore = entriesOf(".").size();
  {
    OutputFile file(c.destination);
    file.stream() << c.content;
    if (c.error == 0) {
      // The bytes wait in one temporary file beside the destination.
      EXPECT_EQ(entriesOf(".").size(), entriesBefore + 1);
    }
    if (c.ending == Ending::FailedStream) file.stream().setstate(std::ios::badbit);
    if (c.ending != Ending::Drop) {
      EXPECT_EQ(file.commit(), c.error);
      EXPECT_EQ(file.commit(), c.error) << "a second commit answers the same";
    }
  }
  EXPECT_EQ(entriesOf("."), c.after);
}

// Three times the stream's own buffer, every 4096th byte different.
const std::string kLarge = [] {
  std::string text(200000, 'a');
  for (std::size_t i = 0; i < text.size(); i += 4096) text[i] = static_cast<char>('b' + i / 4096 % 20);
  return text;
}();

INSTANTIATE_TEST_SUITE_P(
    Destinations, OutputFileTest,
    testing::Values(
        DestinationCase{"new_file", nullptr, "out.txt", "new", Ending::Commit, 0, {{"out.txt", "new"}}},
        DestinationCase{
            "larger_than_the_buffer", nullptr, "out.txt", kLarge, Ending::Commit, 0, {{"out.txt", kLarge}}},
        DestinationCase{"empty_file", nullptr, "out.txt", "", Ending::Commit, 0, {{"out.txt", ""}}},
        DestinationCase{"replaces_a_file",
                        [] { test::writeTextFile("out.txt", "old"); },
                        "out.txt",
                        "new",
                        Ending::Commit,
                        0,
                        {{"out.txt", "new"}}},
        DestinationCase{"in_a_sub_folder",
                        [] { fs::create_directory("sub"); },
                        "sub/out.txt",
                        "new",
                        Ending::Commit,
                        0,
                        {{"sub", "/"}, {"sub/out.txt", "new"}}},
        DestinationCase{"dropped_without_commit",
                        [] { test::writeTextFile("out.txt", "old"); },
                        "out.txt",
                        "new",
                        Ending::Drop,
                        0,
                        {{"out.txt", "old"}}},
        DestinationCase{"stream_failed",
                        [] { test::writeTextFile("out.txt", "old"); },
                        "out.txt",
                        "new",
                        Ending::FailedStream,
                        EIO,
                        {{"out.txt", "old"}}},
        DestinationCase{"folder_in_the_way",
                        [] { fs::create_directories("out.txt/inner"); },
                        "out.txt",
                        "new",
                        Ending::Commit,
                        EISDIR,
                        {{"out.txt", "/"}, {"out.txt/inner", "/"}}},
        DestinationCase{"missing_folder", nullptr, "no/out.txt", "new", Ending::Commit, ENOENT, {}},
        DestinationCase{"folder_is_a_file",
                        [] { test::writeTextFile("no", "file"); },
                        "no/out.txt",
                        "new",
                        Ending::Commit,
                        ENOTDIR,
                        {{"no", "file"}}}),
    [](const testing::TestParamInfo<DestinationCase>& info) { return std::string(info.param.name); });

struct NoteCase {
  OutputNote note;
  const char* line;
};

class NoteLineTest : public testing::TestWithParam<NoteCase> {};

TEST_P(NoteLineTest, NamesTheFileAndTheSystemsReason) {
  EXPECT_EQ(describe(GetParam().note), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Notes, NoteLineTest,
    testing::Values(
        NoteCase{{OutputNote::Kind::FolderNotMade, "C:/a.bmp_0.5_5_2", "", ENOTDIR},
                 "Impossible de creer le dossier C:/a.bmp_0.5_5_2: Not a directory"},
        NoteCase{{OutputNote::Kind::FileNotWritten, "C:/a.bmp_0.5_5_2/index.html", "", ENOSPC},
                 "Impossible d ecrire C:/a.bmp_0.5_5_2/index.html: No space left on device"},
        NoteCase{{OutputNote::Kind::SourceUnreadable, "origine.bmp", "a.bmp", ENOENT},
                 "Impossible d ecrire origine.bmp: relecture de a.bmp impossible: No such file or directory"},
        NoteCase{{OutputNote::Kind::SourceUnreadable, "origine.bmp", "a.bmp", 0},
                 "Impossible d ecrire origine.bmp: a.bmp n est plus l image analysee"},
        NoteCase{{OutputNote::Kind::CopySkipped, "C:/a.bmp_0.5_5_2/logo.jpg", "logo.jpg", ENOENT},
                 "Attention: pas de copie de logo.jpg dans le rapport: No such file or directory"}));

TEST(OutputNotesTest, CountsFailuresButNotWarnings) {
  OutputNotes notes;
  notes.add({OutputNote::Kind::CopySkipped, "r/logo.jpg", "logo.jpg", ENOENT});
  EXPECT_EQ(notes.failureCount(), 0u);
  notes.add({OutputNote::Kind::FileNotWritten, "r/index.html", "", ENOSPC});
  notes.add({OutputNote::Kind::FolderNotMade, "r/CSS", "", ENOTDIR});
  EXPECT_EQ(notes.failureCount(), 2u);
  EXPECT_FALSE(notes.outOfMemory());
  notes.add({OutputNote::Kind::OutOfMemory, "resultat.bmp", "a.bmp", ENOMEM});
  EXPECT_TRUE(notes.outOfMemory());
}

}  // namespace
}  // namespace quarvel
