// The RTF readers, the Qt one and the plain-text one, over any bytes. The plain text goes to a
// terminal: valid UTF-8, no control character but tab and line feed, and no longer than the
// input allows.
#include <QGuiApplication>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "ScratchFolder.h"
#include "platform/TextEncoding.h"
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
  const std::string text = vyn::RtfToPlainText(rtf);
  if (!vyn::IsValidUtf8(text)) vyn::fuzz::Fail("plain text that is not UTF-8");
  if (text.size() > 4 * size) vyn::fuzz::Fail("plain text longer than its source allows");
  for (std::size_t i = 0; i < text.size();) {
    std::uint32_t c = 0;
    i += vyn::DecodeUtf8(text, i, c);
    if ((c < 0x20 && c != '\t' && c != '\n') || (c >= 0x7F && c < 0xA0))
      vyn::fuzz::Fail("a control character in the plain text: " + std::to_string(c));
  }
  QTextDocument document;
  vyn::ReadRtf(rtf, document);
  return 0;
}
