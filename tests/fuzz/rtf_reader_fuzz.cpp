// The RTF readers, the Qt one and the plain-text one, over any bytes.
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
