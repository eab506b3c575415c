// Minisign keys and signatures made by minisign itself, checked by the engine's reader; SHA-256.
#include <gtest/gtest.h>

#include "MinisignTool.h"
#include "TestEnvironment.h"
#include "update/trust/MinisignKey.h"
#include "update/trust/MinisignSignature.h"
#include "update/trust/Sha256.h"
#include "update/trust/SignatureCheck.h"

#include <filesystem>

namespace vyn {
namespace {

using test::ReadFileText;
using test::WriteFileText;

class TrustTest : public ::testing::Test {
 protected:
  test::TIsolatedEnvironment FEnvironment;
  std::string FDir = FEnvironment.Root() + "/trust";
  test::TMinisignKeyPair FKeys = test::MakeMinisignKeyPair(FDir + "/keys");
  std::string FFile = FDir + "/update.inf";

  void SetUp() override { WriteFileText(FFile, "[update]\ndate=01/02/2026\n"); }
  TMinisignPublicKey Key() const { return *ParseMinisignPublicKey(FKeys.PublicKeyLine); }
};

TEST_F(TrustTest, PublicKeyReadsFromItsLineOrItsFileText) {
  const auto fromLine = ParseMinisignPublicKey(FKeys.PublicKeyLine);
  const auto fromFile = ParseMinisignPublicKey(ReadFileText(FKeys.PublicKeyFile));
  ASSERT_TRUE(fromLine && fromFile);
  EXPECT_EQ(fromLine->Key, fromFile->Key);
  EXPECT_EQ(fromLine->KeyId, fromFile->KeyId);
  const std::string bad[] = {"", "untrusted comment: x\n", "not base64 at all",
                             FKeys.PublicKeyLine.substr(0, 40), "RWQ" + FKeys.PublicKeyLine,
                             FKeys.PublicKeyLine + "\n" + FKeys.PublicKeyLine};
  for (const std::string& text : bad)
    EXPECT_FALSE(ParseMinisignPublicKey(text)) << text;
}

TEST_F(TrustTest, SignaturesOfMinisignVerifyPrehashedAndLegacy) {
  for (const bool legacy : {false, true}) {
    test::MinisignSign(FKeys, FFile, "", legacy);
    const auto signature = ParseMinisignSignature(ReadFileText(FFile + ".minisig"));
    ASSERT_TRUE(signature);
    EXPECT_EQ(signature->Prehashed, !legacy);
    EXPECT_EQ(CheckSignature(Key(), *signature, FFile), TSignatureCheck::scValid) << legacy;
    EXPECT_TRUE(TrustedTimestamp(*signature));
  }
}

TEST_F(TrustTest, TamperedFileCommentOrKeyIsRefused) {
  test::MinisignSign(FKeys, FFile, "timestamp:1700000000\tfile:update.inf");
  const std::string text = ReadFileText(FFile + ".minisig");

  WriteFileText(FDir + "/changed.inf", ReadFileText(FFile) + " ");
  EXPECT_EQ(CheckSignature(Key(), text, FDir + "/changed.inf"), TSignatureCheck::scBadSignature);

  std::string comment = text;
  comment.replace(comment.find("1700000000"), 10, "1900000000");
  EXPECT_EQ(CheckSignature(Key(), comment, FFile), TSignatureCheck::scBadTrustedComment);

  const auto other = test::MakeMinisignKeyPair(FDir + "/other");
  EXPECT_EQ(CheckSignature(*ParseMinisignPublicKey(other.PublicKeyLine), text, FFile),
            TSignatureCheck::scOtherKey);
  EXPECT_EQ(CheckSignature(Key(), text, FDir + "/missing.inf"), TSignatureCheck::scUnreadableFile);
}

TEST_F(TrustTest, MalformedSignatureTextsAreRefused) {
  test::MinisignSign(FKeys, FFile);
  const std::string good = ReadFileText(FFile + ".minisig");
  const std::size_t line2 = good.find('\n') + 1;
  std::string wrongAlgorithm = good;
  wrongAlgorithm[line2 + 1] = 'X';  // "RU..." -> "RX...": the algorithm bytes no longer "ED"
  const std::string cases[] = {
      "",
      good.substr(0, good.rfind('\n', good.size() - 2)),  // no global signature
      good.substr(line2),                                 // no untrusted comment line
      wrongAlgorithm,
      good + "extra line\n",
      std::string(5000, 'A'),
  };
  for (const std::string& text : cases) {
    EXPECT_FALSE(ParseMinisignSignature(text)) << text;
    EXPECT_EQ(CheckSignature(Key(), text, FFile), TSignatureCheck::scMalformed);
  }
}

TEST(TrustedTimestampTest, ReadsTheTimestampField) {
  const std::pair<std::string, std::optional<long long>> cases[] = {
      {"timestamp:1765400000\tfile:update.inf\thashed", 1765400000},
      {"timestamp:5", 5},
      {"file:x\ttimestamp:42", 42},
      {"mytimestamp:42", std::nullopt},
      {"timestamp:", std::nullopt},
      {"timestamp:-3", std::nullopt},
      {"timestamp:12x", std::nullopt},
      {"timestamp:99999999999999999999999", std::nullopt},
      {"release of today", std::nullopt},
  };
  for (const auto& [comment, expected] : cases) {
    TMinisignSignature signature;
    signature.TrustedComment = comment;
    EXPECT_EQ(TrustedTimestamp(signature), expected) << comment;
  }
}

TEST(Sha256Test, DigestOfPiecesFilesAndComparison) {
  TSha256 hash;
  hash.Update("a", 1);
  hash.Update("bc", 2);
  const std::string abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
  EXPECT_EQ(hash.HexDigest(), abc);

  test::TIsolatedEnvironment environment;
  WriteFileText(environment.Root() + "/abc", "abc");
  EXPECT_EQ(Sha256OfFile(environment.Root() + "/abc"), abc);
  EXPECT_FALSE(Sha256OfFile(environment.Root() + "/missing"));

  std::string upper = abc;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_TRUE(Sha256Matches(upper, abc));
  EXPECT_FALSE(Sha256Matches(abc.substr(1), abc));
  EXPECT_FALSE(Sha256Matches("", abc));
}

}  // namespace
}  // namespace vyn
