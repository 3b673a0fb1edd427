#include "server/ReleaseStore.h"

#include "server/testing/ServerTesting.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

TEST(ReleaseStore, SecretIsMadeOnceAndKeptPrivate) {
  TTempStore temp;
  std::string a = TReleaseStore(temp.Dir()).LoadOrCreateSecret();
  std::string b = TReleaseStore(temp.Dir()).LoadOrCreateSecret();
  EXPECT_EQ(a.size(), 32u);
  EXPECT_EQ(a, b);
  struct stat st {};
  ASSERT_EQ(::stat((temp.Dir() + "/secret").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 077, 0u);
  WriteFileAtomically(temp.Dir() + "/secret", "not hex\n");
  EXPECT_THROW(TReleaseStore(temp.Dir()).LoadOrCreateSecret(), Exception);
}

// A secret others can read lets them forge sessions; the server must not
// start on it, and must say how to make it private.
TEST(ReleaseStore, SecretOthersCanReadIsRefusedWithItsMend) {
  TTempStore temp;
  TReleaseStore store(temp.Dir());
  std::string made = store.LoadOrCreateSecret();
  std::string path = temp.Dir() + "/secret";
  for (mode_t mode : {0644, 0640, 0604, 0660}) {
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    try {
      store.LoadOrCreateSecret();
      ADD_FAILURE() << "a secret with mode " << std::oct << mode << " was taken";
    } catch (const Exception& e) {
      EXPECT_NE(e.Message().find("chmod 600 " + path), std::string::npos) << e.Message();
    }
  }
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  EXPECT_EQ(store.LoadOrCreateSecret(), made);
  std::filesystem::remove(path);
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  EXPECT_THROW(store.LoadOrCreateSecret(), Exception) << "a FIFO is no secret, and no wait";
}

// Several processes share one secret file; it gets the store secret's checks.
TEST(ReleaseStore, SharedSecretFileIsCheckedAsTheStoresOwn) {
  TTempStore temp;
  std::string path = temp.Dir() + "/shared-secret";
  try {
    LoadSecretFile(path);
    ADD_FAILURE() << "a missing secret file was taken";
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find(path), std::string::npos) << e.Message();
    EXPECT_NE(e.Message().find("No such file"), std::string::npos) << e.Message();
  }
  EXPECT_FALSE(std::filesystem::exists(path)) << "a shared secret is never made up";
  WriteFileAtomically(path, std::string(64, 'a') + "\n", 0640);
  try {
    LoadSecretFile(path);
    ADD_FAILURE() << "a secret the group can read was taken";
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find("chmod 600 " + path), std::string::npos) << e.Message();
  }
  ASSERT_EQ(::chmod(path.c_str(), 0400), 0);
  EXPECT_EQ(LoadSecretFile(path), std::string(32, '\xaa'));
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  WriteFileAtomically(path, std::string(62, 'a') + "\n", 0600);
  EXPECT_THROW(LoadSecretFile(path), Exception) << "31 bytes are too few";
  EXPECT_THROW(LoadSecretFile(temp.Dir()), Exception) << "a folder is no secret";
}

TEST(ReleaseStore, IndexRoundTripsAndRefusesDamage) {
  TTempStore temp;
  TReleaseStore store(temp.Dir());
  EXPECT_EQ(store.LoadIndex().NextId, 1);
  TIndex index;
  index.NextId = 9;
  index.ByHash["aa"] = {3, 100};
  index.ByHash["bb"] = {8, 5};
  store.SaveIndex(index);
  TIndex back = store.LoadIndex();
  EXPECT_EQ(back.NextId, 9);
  ASSERT_EQ(back.ByHash.size(), 2u);
  EXPECT_EQ(back.ByHash["aa"].Id, 3);
  EXPECT_EQ(back.ByHash["bb"].StoredSize, 5);
  for (const char* bad : {"", "next 0\n", "next 3\naa 3 1\n", "next 3\naa x 1\n"}) {
    WriteFileAtomically(temp.Dir() + "/index", bad);
    EXPECT_THROW(store.LoadIndex(), Exception) << bad;
  }
}

TEST(ReleaseStore, CurrentSwitchesOnlyWithMakeCurrent) {
  TTempStore temp;
  TReleaseStore store(temp.Dir());
  EXPECT_EQ(store.Current(), nullptr);
  temp.Publish(1, "One", "m1");
  auto one = store.Current();
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one->Manifest, "m1");
  store.WriteRelease(TRelease{2, "Two", "m2"});
  EXPECT_EQ(store.Current()->Number, 1) << "written but not yet current";
  store.MakeCurrent(2);
  EXPECT_EQ(store.Current()->DisplayName, "Two");
  EXPECT_EQ(one->Manifest, "m1") << "a release handed out stays intact";
}

TEST(ReleaseStore, BlobsOpenOnlyAsTheIndexListsThem) {
  TTempStore temp;
  TReleaseStore store(temp.Dir());
  temp.AddBlob(4, "abcd");
  TBlobFile blob;
  std::string problem;
  ASSERT_TRUE(store.OpenBlob(4, blob, problem));
  EXPECT_EQ(blob.Size(), 4);
  char text[4];
  blob.ReadExactly(text, 4);
  EXPECT_EQ(std::string(text, 4), "abcd");
  EXPECT_THROW(blob.ReadExactly(text, 1), Exception);
  for (int32_t id : {5, 0, -4}) {
    EXPECT_FALSE(store.OpenBlob(id, blob, problem)) << id;
    EXPECT_EQ(problem, "") << "unknown, not damaged";
  }
  temp.AddBlob(6, "");
  std::filesystem::remove(temp.Dir() + "/blobs/6");
  std::filesystem::create_directories(temp.Dir() + "/blobs/6");
  EXPECT_FALSE(store.OpenBlob(6, blob, problem)) << "a directory is no blob";
  EXPECT_EQ(problem, "blob 6 is missing or no regular file");
  temp.AddBlob(7, "seven");
  std::filesystem::resize_file(temp.Dir() + "/blobs/7", 2);
  EXPECT_FALSE(store.OpenBlob(7, blob, problem));
  EXPECT_EQ(problem, "blob 7 has 2 bytes, the index says 5");
  EXPECT_FALSE(blob.IsOpen());
}

// Small blobs are served from memory once read, the least recently asked
// for going first when the bound is reached; larger ones always from disk.
TEST(ReleaseStore, SmallBlobsAreHeldWithinTheirBound) {
  TTempStore temp;
  TReleaseStore store(temp.Dir(), {8, 16});
  for (int32_t id : {1, 2, 3})
    temp.AddBlob(id, "blob <" + std::to_string(id) + ">");
  temp.AddBlob(4, "too large");
  auto read = [&](int32_t id) {
    TBlobFile blob;
    std::string problem;
    if (!store.OpenBlob(id, blob, problem))
      return "(" + problem + ")";
    std::string bytes(static_cast<size_t>(blob.Size()), '\0');
    blob.ReadExactly(bytes.data(), blob.Size());
    return bytes;
  };
  EXPECT_EQ(read(1), "blob <1>");
  EXPECT_EQ(read(2), "blob <2>");
  EXPECT_EQ(read(4), "too large");
  for (int32_t id : {1, 2, 4})
    std::filesystem::remove(store.BlobPath(id));
  EXPECT_EQ(read(1), "blob <1>") << "held";
  EXPECT_EQ(read(4), "(blob 4 is missing or no regular file)") << "too large to hold";
  EXPECT_EQ(read(3), "blob <3>");
  EXPECT_EQ(read(2), "(blob 2 is missing or no regular file)") << "the least recent made room";
  EXPECT_EQ(read(1), "blob <1>");
}

TEST(ReleaseStore, OnePublisherAtATime) {
  TTempStore temp;
  TReleaseStore store(temp.Dir());
  auto lock = store.Lock();
  EXPECT_THROW(store.Lock(), Exception);
  lock.reset();
  EXPECT_NO_THROW(store.Lock());
}

} // namespace
