// A catalog never loses an entry to a failure, and no command writes over one of its inputs:
// unreadable directories (walked as an unprivileged user), missing and empty roots, outputs that
// name an input, writers killed at random moments, and writers at the same time.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "CatalogUpdate.h"
#include "MeshWriters.h"
#include "ModelFileSet.h"
#include "ReportChecks.h"
#include "SceneBuilder.h"
#include "SearchTestShapes.h"
#include "SignatureCatalog.h"
#include "TemporaryDirectory.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

std::vector<std::string> IndexedPaths(const std::string& iDatabase) {
  return SignatureCatalog(iDatabase, SignatureCatalog::Access::Read).Paths();
}

// iCount small distinct parts under iFolder, named part0.stl, part1.stl, ...; another iVariant
// changes every one.
void WriteParts(const std::string& iFolder, int iCount, int iVariant = 0) {
  fs::create_directories(iFolder);
  for (int k = 0; k < iCount; ++k)
    WriteBinaryStl(iFolder + "/part" + std::to_string(k) + ".stl",
                   scene::Box({0, 0, 0}, {1, 1.0f + 0.25f * k, 2.0f + 0.1f * iVariant}));
}

// The one error line of a run that kept the entries under iPath: status 1, naming iPath and iReason.
void ExpectUntouched(const CommandResult& iResult, const std::string& iPath, const std::string& iReason) {
  EXPECT_EQ(iResult.exitStatus, 1) << iResult.err;
  EXPECT_EQ(std::count(iResult.err.begin(), iResult.err.end(), '\n'), 1) << iResult.err;
  EXPECT_EQ(iResult.err.rfind("geosig: " + iPath + ": ", 0), 0u) << iResult.err;
  EXPECT_NE(iResult.err.find(iReason), std::string::npos) << iResult.err;
}

// geosig run as the unprivileged user 65534 (through setpriv when this process runs as root).
CommandResult RunUnprivileged(const std::vector<std::string>& iArguments) {
  if (geteuid() != 0) return RunCommand(geosig, iArguments);
  std::vector<std::string> arguments = {"--reuid=65534", "--regid=65534", "--clear-groups", "--", geosig};
  arguments.insert(arguments.end(), iArguments.begin(), iArguments.end());
  return RunCommand("setpriv", arguments);
}

void GiveToUnprivilegedUser(const std::string& iTree) {
  if (geteuid() != 0) return;
  ASSERT_EQ(lchown(iTree.c_str(), 65534, 65534), 0);
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(iTree))
    ASSERT_EQ(lchown(entry.path().c_str(), 65534, 65534), 0) << entry.path();
}

TEST(CatalogSafety, AnUnreadableDirectoryKeepsItsEntriesAndIsReported) {
  TemporaryDirectory directory;
  const std::string root = directory.Path("parts");
  WriteParts(root + "/open", 2);
  WriteParts(root + "/closed", 3);
  const std::string database = directory.Path("catalog.db");
  ASSERT_EQ(RunCommand(geosig, {"index", root, "--db", database}).exitStatus, 0);
  fs::remove(root + "/open/part1.stl");  // gone from a directory that is read: dropped
  GiveToUnprivilegedUser(directory.Path(""));
  fs::permissions(directory.Path(""), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  const CommandResult probe = RunUnprivileged({"--version"});
  if (probe.exitStatus != 0)
    GTEST_SKIP() << "geosig cannot be run as an unprivileged user here (setpriv failed): " << probe.err;

  fs::permissions(root + "/closed", fs::perms::none);
  const CommandResult run = RunUnprivileged({"index", root, "--db", database});
  fs::permissions(root + "/closed", fs::perms::owner_all);
  ExpectUntouched(run, root + "/closed", "cannot be walked: Permission denied");
  EXPECT_EQ(IndexedPaths(database), (std::vector<std::string>{root + "/closed/part0.stl", root + "/closed/part1.stl",
                                                              root + "/closed/part2.stl", root + "/open/part0.stl"}));
  EXPECT_EQ(SignatureCatalog(database, SignatureCatalog::Access::Read).Summaries().size(), 4u);

  // A file that can no longer be opened keeps the record it had.
  fs::permissions(root + "/open/part0.stl", fs::perms::none);
  const CommandResult closedFile = RunUnprivileged({"index", root, "--db", database});
  ExpectFileFailure(closedFile, root + "/open/part0.stl", "Permission denied (its earlier record is kept)");
  EXPECT_EQ(SignatureCatalog(database, SignatureCatalog::Access::Read).Summaries().size(), 4u);
}

TEST(CatalogSafety, AMissingRootKeepsItsEntriesAndAnEmptyOneKeepsThemUnlessPruned) {
  TemporaryDirectory directory;
  const std::string share = directory.Path("share"), local = directory.Path("local");
  WriteParts(share, 3);
  WriteParts(local, 2);
  const std::string database = directory.Path("catalog.db");
  ASSERT_EQ(RunCommand(geosig, {"index", share, local, "--db", database}).exitStatus, 0);
  const std::vector<std::string> all = IndexedPaths(database);
  ASSERT_EQ(all.size(), 5u);

  // The share is not mounted: its mount point is missing, then empty.
  fs::rename(share, directory.Path("elsewhere"));
  ExpectUntouched(RunCommand(geosig, {"index", share, local, "--db", database}), share, "no such file or directory");
  EXPECT_EQ(IndexedPaths(database), all);
  fs::create_directory(share);
  ExpectUntouched(RunCommand(geosig, {"index", share, local, "--db", database}), share,
                  "holds no model file, yet 3 files are indexed under it");
  EXPECT_EQ(IndexedPaths(database), all);

  // Asked to, the run drops the entries of the files gone; the files of the other root stay.
  EXPECT_EQ(RunCommand(geosig, {"index", share, local, "--db", database, "--prune"}).exitStatus, 0);
  EXPECT_EQ(IndexedPaths(database), (std::vector<std::string>{local + "/part0.stl", local + "/part1.stl"}));
}

// The entry of a file that another writer recorded after this run's walk is kept: the update
// drops only what is gone from the disk, decided on the catalog as it is when it writes.
TEST(CatalogSafety, AnUpdateDropsNoEntryOfAnotherWriterWhoseFileExists) {
  TemporaryDirectory directory;
  const std::string root = directory.Path("parts");
  WriteParts(root, 2);
  ModelFileSet walked;
  walked.AddPath(root);
  WriteBinaryStl(root + "/late.stl", scene::Box({0, 0, 0}, {5, 1, 1}));
  const std::string database = directory.Path("catalog.db");
  IndexedPart late;
  late.path = root + "/late.stl";
  late.options = "another writer's";
  late.error = "recorded by another run";
  SignatureCatalog(database, SignatureCatalog::Access::Write).Put(late);

  const CatalogUpdate update(database, walked, ImportOptions(), false);
  EXPECT_EQ(update.Removed(), 0u);
  EXPECT_EQ(update.Pending(), 2u);
  EXPECT_EQ(IndexedPaths(database), std::vector<std::string>{root + "/late.stl"});
}

TEST(CatalogSafety, AnOutputThatIsAnInputIsRefusedWhateverItsName) {
  TemporaryDirectory directory;
  const std::string root = directory.Path("parts");
  WriteParts(root, 2);
  const std::string model = root + "/part0.stl", database = directory.Path("catalog.db");
  ASSERT_EQ(RunCommand(geosig, {"index", root, "--db", database}).exitStatus, 0);
  fs::create_symlink(model, directory.Path("link.stl"));
  fs::create_symlink(database, directory.Path("link.db"));
  const std::string list = directory.Write("models.txt", "parts/part1.stl\n");
  const std::string modelBytes = FileContents(model), catalogBytes = FileContents(database),
                    listBytes = FileContents(list);
  const std::string otherSpelling = directory.Path("parts/../catalog.db");

  const struct {
    std::vector<std::string> arguments;
    std::string output;
  } refused[] = {
      {{"neighbours", "--db", database, "-k", "1", "-o", otherSpelling}, otherSpelling},
      {{"neighbours", "--db", database, "-k", "1", "-o", directory.Path("link.db")}, directory.Path("link.db")},
      {{"neighbours", "--db", database, "-k", "1", "-o", database + "-wal"}, database + "-wal"},
      {{"query", "--db", database, model, "--html", database}, database},
      {{"query", "--db", database, "--entry", model, "--html", directory.Path("link.stl")}, directory.Path("link.stl")},
      {{"query", "--db", database, "--entry", model, "-k", "1", "--html", root + "/part1.stl"}, root + "/part1.stl"},
      {{"voxelize", model, "--depth", "2", "-o", directory.Path("link.stl")}, directory.Path("link.stl")},
      {{"view", directory.Path("link.stl"), "-o", model}, model},
      {{"batch", root, "-o", directory.Path("link.stl")}, directory.Path("link.stl")},
      {{"batch", "--list", list, "-o", list}, list},
  };
  for (const auto& command : refused) {
    SCOPED_TRACE(command.arguments[0] + " -> " + command.output);
    ExpectFileFailure(RunCommand(geosig, command.arguments), command.output, "it would be overwritten");
  }
  const CommandResult index = RunCommand(geosig, {"index", root, "--db", directory.Path("link.stl")});
  EXPECT_EQ(index.exitStatus, 4);
  EXPECT_NE(index.err.find("is one of the models or lists: it would be overwritten"), std::string::npos) << index.err;
  EXPECT_EQ(FileContents(model), modelBytes);
  EXPECT_EQ(FileContents(database), catalogBytes);
  EXPECT_EQ(FileContents(list), listBytes);
  EXPECT_EQ(IndexedPaths(database).size(), 2u);
}

// Starts geosig with iArguments in a process group of its own, its output thrown away.
pid_t StartGeosig(const std::vector<std::string>& iArguments) {
  std::vector<std::string> words = {geosig};
  words.insert(words.end(), iArguments.begin(), iArguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  pid_t process = -1;
  if (posix_spawn(&process, geosig.c_str(), &actions, &attributes, argv.data(), environ) != 0) process = -1;
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return process;
}

// The first column of the first row iSql gives on iDatabase, as text; the error when there is none.
std::string FirstValue(const std::string& iDatabase, const char* iSql) {
  sqlite3* database = nullptr;
  std::string value = "cannot be opened";
  if (sqlite3_open_v2(iDatabase.c_str(), &database, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(database, iSql, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
      value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    else
      value = sqlite3_errmsg(database);
    sqlite3_finalize(statement);
  }
  sqlite3_close(database);
  return value;
}

std::string IntegrityCheck(const std::string& iDatabase) { return FirstValue(iDatabase, "PRAGMA integrity_check"); }

TEST(CatalogSafety, AWriterKilledAtAnyMomentLeavesACatalogThatTheNextRunCompletes) {
  TemporaryDirectory directory;
  const std::string root = directory.Path("parts");
  constexpr int parts = 40, rounds = 8;
  WriteParts(root, parts);
  // How long a whole run takes here and now, to spread the kills over one.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(RunCommand(geosig, {"index", root, "--db", directory.Path("timed.db"), "-j", "1"}).exitStatus, 0);
  const auto whole = std::chrono::steady_clock::now() - start;

  const std::string database = directory.Path("catalog.db");
  int entries = 0;
  for (int round = 0; round < rounds; ++round) {
    SCOPED_TRACE(round);
    WriteParts(root, parts, round);  // every file changed: the run writes every record again
    const pid_t writer = StartGeosig({"index", root, "--db", database, "-j", "1"});
    ASSERT_GT(writer, 0);
    std::this_thread::sleep_for(whole * (round + 0.5) / rounds);
    kill(-writer, SIGKILL);  // the writer and its workers
    int status = 0;
    ASSERT_EQ(waitpid(writer, &status, 0), writer);
    if (!fs::exists(database)) continue;  // killed before it created the catalog
    EXPECT_EQ(IntegrityCheck(database), "ok");
    // Killed before its schema was committed, the catalog has no table yet: then no entry either.
    const std::string count = FirstValue(database, "SELECT count(*) FROM parts");
    const int counted = count == "no such table: parts" ? 0 : std::stoi(count);
    EXPECT_GE(counted, entries) << "entries lost";
    entries = counted;
  }
  const CommandResult last = RunCommand(geosig, {"index", root, "--db", database});
  EXPECT_EQ(last.exitStatus, 0) << last.err;
  EXPECT_EQ(IntegrityCheck(database), "ok");
  EXPECT_EQ(SignatureCatalog(database, SignatureCatalog::Access::Read).Summaries().size(), std::size_t{parts});
}

TEST(CatalogSafety, WritersOfOtherDirectoriesAtOnceBothFinishAndLoseNothing) {
  TemporaryDirectory directory;
  const std::string first = directory.Path("first"), second = directory.Path("second");
  WriteParts(first, 8);
  WriteParts(second, 8);
  const std::string database = directory.Path("catalog.db");
  ASSERT_EQ(RunCommand(geosig, {"index", first, second, "--db", database}).exitStatus, 0);
  // Files added and gone in both: each run reads, writes and drops while the other does.
  WriteParts(first + "/more", 6);
  WriteParts(second + "/more", 6);
  for (const std::string& folder : {first, second}) fs::remove(folder + "/part7.stl");
  CommandResult results[2];
  std::thread other([&] { results[1] = RunCommand(geosig, {"index", second, "--db", database, "-j", "1"}); });
  results[0] = RunCommand(geosig, {"index", first, "--db", database, "-j", "1"});
  other.join();
  for (const CommandResult& result : results) EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(IntegrityCheck(database), "ok");
  EXPECT_EQ(IndexedPaths(database).size(), 26u);
  EXPECT_EQ(SignatureCatalog(database, SignatureCatalog::Access::Read).Summaries().size(), 26u);
}

}  // namespace
