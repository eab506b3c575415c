// libFuzzer target for the RTF readers, the Qt one and the plain-text one. Not part of the
// CMake build (the normal build is g++); from the repository root, after mkdir -p build-fuzz:
//   clang++ -std=c++20 -O1 -g -fPIC -fsanitize=fuzzer,address,undefined -I. \
//     $(pkg-config --cflags Qt6Gui) update/ui/RtfReader.cpp update/actions/Rtf*.cpp \
//     update/actions/RichText.cpp platform/TextEncoding.cpp tests/fuzz/rtf_reader_fuzz.cpp \
//     $(pkg-config --libs Qt6Gui) -o build-fuzz/rtf_reader_fuzz
//   QT_QPA_PLATFORM=offscreen build-fuzz/rtf_reader_fuzz tests/fuzz/rtf_reader_corpus -runs=0
#include <QGuiApplication>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "update/actions/RichText.h"
#include "update/actions/RtfPlainText.h"
#include "update/ui/RtfReader.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // Documents measure text with fonts, which need the application object.
  static QGuiApplication application(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view rtf(reinterpret_cast<const char*>(data), size);
  vyn::IsRichText(rtf);
  vyn::RtfToPlainText(rtf);
  QTextDocument document;
  vyn::ReadRtf(rtf, document);
  return 0;
}
