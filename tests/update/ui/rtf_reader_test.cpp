#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QtTest>
#include <string>

#include "update/actions/RichText.h"
#include "update/ui/RtfReader.h"

namespace vyn {

using namespace std::string_literals;

namespace {
std::string Fixture(const char* name) {
  QFile file(QFINDTESTDATA(QString("fixtures/") + name));
  if (!file.open(QIODevice::ReadOnly)) qFatal("missing fixture %s", name);
  return file.readAll().toStdString();
}

// The document's text as written: paragraphs on their own lines, line breaks as U+2028,
// non-breaking spaces kept.
QString Text(const QTextDocument& document) {
  return document.toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

QString Read(const std::string& rtf) {
  QTextDocument document;
  ReadRtf(rtf, document);
  return Text(document);
}

// The format of `fragment`, which must occur in the document in one format (the test fails on
// the warning otherwise).
QTextCharFormat FormatOf(const QTextDocument& document, const QString& fragment) {
  const QTextCursor found = document.find(fragment);
  if (found.isNull()) {
    qWarning("fragment not found: %s", qPrintable(fragment));
    return {};
  }
  QTextCursor first(found);
  first.setPosition(found.selectionStart() + 1);
  if (first.charFormat() != found.charFormat())
    qWarning("fragment in two formats: %s", qPrintable(fragment));
  return found.charFormat();
}

Qt::Alignment AlignmentOf(const QTextDocument& document, const QString& fragment) {
  return document.find(fragment).block().blockFormat().alignment();
}
}  // namespace

class TRtfReaderTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { QTest::failOnWarning(QRegularExpression("^fragment ")); }

  void RichTextTest_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("rich");
    QTest::newRow("document") << QByteArray("{\\rtf1\\ansi x}") << true;
    QTest::newRow("upper case") << QByteArray("{\\RTF1") << true;
    QTest::newRow("mixed case, exactly five bytes") << QByteArray("{\\rTf") << true;
    QTest::newRow("four bytes") << QByteArray("{\\rt") << false;
    QTest::newRow("leading blank") << QByteArray(" {\\rtf1") << false;
    QTest::newRow("leading line break") << QByteArray("\r\n{\\rtf1") << false;
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF{\\rtf1") << false;
    QTest::newRow("other control word") << QByteArray("{\\rtx1") << false;
    QTest::newRow("plain text") << QByteArray("Nouveautés") << false;
    QTest::newRow("empty") << QByteArray() << false;
  }
  void RichTextTest() {
    QFETCH(QByteArray, text);
    QFETCH(bool, rich);
    QCOMPARE(IsRichText(text.toStdString()), rich);
  }

  void LibreOfficeWhatsNew() {
    QTextDocument document;
    ReadRtf(Fixture("libreoffice_whatsnew.rtf"), document);
    QCOMPARE(Text(document), QString::fromUtf8("Édition été 2.0\n"
                                               "Prix : 5 € — italique, souligné, rouge et petit.\n"
                                               "Ελληνικά 中文"));
    const QTextCharFormat title = FormatOf(document, "Édition été");
    QCOMPARE(title.fontWeight(), int(QFont::Bold));
    QCOMPARE(title.fontPointSize(), 16.0);
    QCOMPARE(FormatOf(document, " 2.0").fontWeight(), int(QFont::Normal));
    QVERIFY(FormatOf(document, "italique").fontItalic());
    QVERIFY(!FormatOf(document, ", ").fontItalic());
    QVERIFY(FormatOf(document, "souligné").fontUnderline());
    QCOMPARE(FormatOf(document, "rouge").foreground().color(), QColor(255, 0, 0));
    QVERIFY(!FormatOf(document, " et ").hasProperty(QTextFormat::ForegroundBrush));
    QCOMPARE(FormatOf(document, "petit").fontPointSize(), 8.0);
    QCOMPARE(FormatOf(document, "Prix").fontPointSize(), 12.0);
    QCOMPARE(AlignmentOf(document, "Ελληνικά"), Qt::AlignHCenter);
    QCOMPARE(AlignmentOf(document, "Prix"), Qt::AlignLeft);
  }

  void LibreOfficeLicenceSkipsPictureAndFlattensTable() {
    QCOMPARE(Read(Fixture("libreoffice_licence.rtf")),
             QString::fromUtf8("Contrat de licence\n"
                               "Lisez «\u00A0ceci\u00A0».\n"
                               "Article\tDurée\n"
                               "Fin."));
  }

  void SimpleWordProcessor() {
    QTextDocument document;
    ReadRtf(Fixture("pad_notes.rtf"), document);
    QCOMPARE(Text(document), QString::fromUtf8("Quoi de neuf\n"
                                               "Améliorations : rapide, rouge, € 5\n"
                                               "Ελληνικά\n"
                                               "Fin\tde l’article\u2028suite"));
    const QTextCharFormat title = FormatOf(document, "Quoi de neuf");
    QCOMPARE(title.fontWeight(), int(QFont::Bold));
    QCOMPARE(title.fontPointSize(), 14.0);
    QCOMPARE(FormatOf(document, "Améliorations").fontPointSize(), 11.0);
    QVERIFY(FormatOf(document, "Améliorations").fontItalic());
    QVERIFY(FormatOf(document, "rapide").fontUnderline());
    QVERIFY(!FormatOf(document, ", ").fontUnderline());
    QCOMPARE(FormatOf(document, "rouge").foreground().color(), QColor(255, 0, 0));
    QCOMPARE(FormatOf(document, "€").foreground().color(), QColor(0, 0, 255));
    QCOMPARE(AlignmentOf(document, "Ελληνικά"), Qt::AlignHCenter);
    QCOMPARE(AlignmentOf(document, "suite"), Qt::AlignLeft);
  }

  void TextOf_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("escaped characters") << QByteArray("{\\rtf1 a\\\\b\\{c\\}d\\~e\\-f\\_g}")
                                        << QString::fromUtf8("a\\b{c}d\u00A0e\u00ADf\u2011g");
    QTest::newRow("named characters")
        << QByteArray("{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote x}")
        << QString::fromUtf8("—–•‘’“”x");
    QTest::newRow("one delimiting blank, the next is text")
        << QByteArray("{\\rtf1 \\b  a\\b0\tb}") << QString(" a\tb");
    QTest::newRow("raw line ends are not text")
        << QByteArray("{\\rtf1 a\r\nb\nc}") << QString("abc");
    QTest::newRow("backslash line end is a paragraph")
        << QByteArray("{\\rtf1 a\\\nb}") << QString("a\nb");
    QTest::newRow("paragraphs, empty ones kept, the last break dropped")
        << QByteArray("{\\rtf1 a\\par\\par b\\line c\\tab d\\par}") << QString("a\n\nb\u2028c\td");
    QTest::newRow("page and section end paragraphs")
        << QByteArray("{\\rtf1 a\\page b\\sect c}") << QString("a\nb\nc");
    QTest::newRow("hex escape, upper-case digits")
        << QByteArray("{\\rtf1 caf\\'e9 \\'C9t\\'e9}") << QString::fromUtf8("café Été");
    QTest::newRow("broken hex escape is dropped")
        << QByteArray("{\\rtf1 a\\'zzb\\'4}") << QString("azzb4");
    QTest::newRow("raw 8-bit text in the document's code page")
        << QByteArray("{\\rtf1\\ansi caf\xe9 \x80}") << QString::fromUtf8("café €");
    QTest::newRow("Cyrillic code page")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'cc\\'e8\\'f0}") << QString::fromUtf8("Мир");
    QTest::newRow("double-byte code page, escapes decoded together")
        << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'93\\'fa\\'96\\'7b}")
        << QString::fromUtf8("日本");
    QTest::newRow("font charset beats the document's code page")
        << QByteArray(
               "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial;}}\\f1\\'c0\\f0\\'c0}")
        << QString::fromUtf8("АÀ");
    QTest::newRow("font table without inner groups")
        << QByteArray("{\\rtf1{\\fonttbl\\f0\\fcharset161 A;\\f1\\fcharset0 B;}\\f0\\'e1\\f1\\'e1}")
        << QString::fromUtf8("αá");
    QTest::newRow("unknown code page reads as 1252")
        << QByteArray("{\\rtf1\\ansi\\ansicpg99999 \\'80\\'e9}") << QString::fromUtf8("€é");
    QTest::newRow("unicode with one fallback byte")
        << QByteArray("{\\rtf1 \\u8364?\\u233\\'e9!}") << QString::fromUtf8("€é!");
    QTest::newRow("negative unicode above 32767")
        << QByteArray("{\\rtf1 \\u-4064?}") << QString::fromUtf8("\uF020");
    QTest::newRow("skip count two, control words count as one")
        << QByteArray("{\\rtf1\\uc2 \\u233\\'65\\'65x\\u233 \\tab\\'41y}")
        << QString::fromUtf8("éxéy");
    QTest::newRow("skip count zero")
        << QByteArray("{\\rtf1\\uc0 \\u233 x}") << QString::fromUtf8("éx");
    QTest::newRow("skip count restored by the group")
        << QByteArray("{\\rtf1 {\\uc3 \\u233 abcd}\\u233 ab}") << QString::fromUtf8("édéb");
    QTest::newRow("fallback skipping stops at a brace")
        << QByteArray("{\\rtf1\\uc5 \\u233 a{b}c}") << QString::fromUtf8("ébc");
    QTest::newRow("surrogate pair")
        << QByteArray("{\\rtf1 \\u-10179?\\u-8704?}") << QString::fromUtf8("😀");
    QTest::newRow("half surrogate pairs") << QByteArray("{\\rtf1 \\u-10179?a\\u-8704?b\\u-10179?}")
                                          << QString::fromUtf8("\uFFFDa\uFFFDb\uFFFD");
    QTest::newRow("unicode past 16 bits")
        << QByteArray("{\\rtf1 \\u128512?x}") << QString::fromUtf8("😀x");
    QTest::newRow("unicode zero and out of range")
        << QByteArray("{\\rtf1 \\u0?a\\u-70000?b\\u99999999?c}")
        << QString::fromUtf8("a\uFFFDb\uFFFDc");
    QTest::newRow("skipped destinations")
        << QByteArray(
               "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1;}{\\stylesheet{\\s0 Normal;}}"
               "{\\info{\\title T}{\\author A}}{\\*\\generator G;}{\\*\\anything{\\nested x}}"
               "{\\header h}{\\footerl f}{\\headerf h}{\\listtable{\\list l}}{\\listoverridetable "
               "o}"
               "{\\xmlnstbl x}{\\*\\themedata 00}{\\*\\colorschememapping c}{\\*\\datastore d}"
               "{\\*\\latentstyles l}{\\*\\rsidtbl r}{\\*\\pgdsctbl p}{\\object o}{\\footnote n}a"
               "{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt lien}}b}")
        << QString("alienb");
    QTest::newRow("picture with binary data holding braces")
        << QByteArray("{\\rtf1 a{\\pict\\bin6 }}}\\\\{b}c}") << QString("ac");
    QTest::newRow("binary data outside a picture")
        << QByteArray("{\\rtf1 a\\bin3 xyzb}") << QString("ab");
    QTest::newRow("binary count past the end")
        << QByteArray("{\\rtf1 a\\bin999999999 bc}") << QString("a");
    QTest::newRow("negative binary count") << QByteArray("{\\rtf1 a\\bin-5 b}") << QString("ab");
    QTest::newRow("NUL bytes are not text")
        << QByteArray("{\\rtf1 a\0b\\'00c}", 16) << QString("abc");
    QTest::newRow("missing closing braces") << QByteArray("{\\rtf1 a{\\b b") << QString("ab");
    QTest::newRow("stray closing brace ends the document")
        << QByteArray("{\\rtf1 a}}b}c") << QString("a");
    QTest::newRow("text after the document") << QByteArray("{\\rtf1 a} b") << QString("a");
    QTest::newRow("trailing backslash") << QByteArray("{\\rtf1 a\\") << QString("a");
    QTest::newRow("unknown control words and symbols are ignored")
        << QByteArray("{\\rtf1 a\\foo42 b\\|c\\:d\\zzz-7e}") << QString("abcde");
    QTest::newRow("long parameter ends the word, not the text")
        << QByteArray("{\\rtf1 \\fs123456789012345678 a\\uc99999999999 \\u233 b}")
        << QString::fromUtf8("aé");
    QTest::newRow("long control word")
        << QByteArray("{\\rtf1 \\") + QByteArray(100000, 'x') + QByteArray(" a}") << QString("a");
    QTest::newRow("empty cell in a row")
        << QByteArray("{\\rtf1 \\trowd a\\cell\\cell b\\cell\\row c}") << QString("a\t\tb\nc");
  }
  void TextOf() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(Read(rtf.toStdString()), text);
  }

  void GroupsRestoreTheCharacterFormat() {
    QTextDocument document;
    ReadRtf(
        "{\\rtf1{\\colortbl;\\red0\\green128\\blue0;}"
        "a{\\b\\i\\ul\\fs40\\cf1 b{\\b0\\i0\\ul0\\fs20\\cf0 c}d}e"
        "\\b\\uldb f\\ulnone\\plain g\\b h\\b0 i\\fs0 j\\fs99999999999 k\\cf7 l\\cf-1 m}",
        document);
    QCOMPARE(Text(document), QString("abcdefghijklm"));
    for (const char* plain : {"a", "c", "e", "g", "i"}) {
      const QTextCharFormat format = FormatOf(document, plain);
      QCOMPARE(format.fontWeight(), int(QFont::Normal));
      QVERIFY(!format.fontItalic());
      QVERIFY(!format.fontUnderline());
      QVERIFY(!format.hasProperty(QTextFormat::ForegroundBrush));
    }
    const QTextCharFormat b = FormatOf(document, "b");
    QCOMPARE(b.fontWeight(), int(QFont::Bold));
    QVERIFY(b.fontItalic() && b.fontUnderline());
    QCOMPARE(b.fontPointSize(), 20.0);
    QCOMPARE(b.foreground().color(), QColor(0, 128, 0));
    QCOMPARE(FormatOf(document, "c").fontPointSize(), 10.0);
    QCOMPARE(FormatOf(document, "d"), b);
    QCOMPARE(FormatOf(document, "e").fontPointSize(), 12.0);
    QVERIFY(FormatOf(document, "f").fontUnderline());
    QCOMPARE(FormatOf(document, "h").fontWeight(), int(QFont::Bold));
    QCOMPARE(FormatOf(document, "j").fontPointSize(), 12.0);
    QCOMPARE(FormatOf(document, "k").fontPointSize(), 1638.0);
    QVERIFY(!FormatOf(document, "l").hasProperty(QTextFormat::ForegroundBrush));
    QVERIFY(!FormatOf(document, "m").hasProperty(QTextFormat::ForegroundBrush));
  }

  void AlignmentFollowsTheParagraph() {
    QTextDocument document;
    ReadRtf("{\\rtf1 \\qc a\\par b\\par\\pard c\\par\\qr d\\par\\qj e\\par{\\qc f}}", document);
    QCOMPARE(AlignmentOf(document, "a"), Qt::AlignHCenter);
    QCOMPARE(AlignmentOf(document, "b"), Qt::AlignHCenter);
    QCOMPARE(AlignmentOf(document, "c"), Qt::AlignLeft);
    QCOMPARE(AlignmentOf(document, "d"), Qt::AlignRight);
    QCOMPARE(AlignmentOf(document, "e"), Qt::AlignJustify);
    QCOMPARE(AlignmentOf(document, "f"), Qt::AlignHCenter);
  }

  void ReplacesThePreviousContents() {
    QTextDocument document;
    document.setPlainText("old");
    ReadRtf("{\\rtf1 new}", document);
    QCOMPARE(Text(document), QString("new"));
  }

  // Past the depth limit groups are read as part of the deepest one; the text stays.
  void DeepNesting() {
    const int depth = 100000;
    QCOMPARE(Read("{\\rtf1 a" + std::string(depth, '{') + "b" + std::string(depth, '}') + "c}"),
             QString("abc"));
    QTextDocument document;
    ReadRtf("{\\rtf1 " + std::string(1500, '{') + "\\b x" + std::string(1500, '}') + "y}",
            document);
    QCOMPARE(Text(document), QString("xy"));
    QCOMPARE(FormatOf(document, "x").fontWeight(), int(QFont::Bold));
    QCOMPARE(FormatOf(document, "y").fontWeight(), int(QFont::Normal));
    QCOMPARE(Read(std::string(depth, '{') + "\\rtf1 z"), QString("z"));
    QCOMPARE(Read(std::string(depth, '}') + "{\\rtf1 z}"), QString("z"));
  }

  void EveryTruncationReadsAPrefix() {
    const std::string rtf = Fixture("pad_notes.rtf");
    const QString full = Read(rtf);
    for (std::size_t length = 0; length < rtf.size(); ++length) {
      const QString text = Read(rtf.substr(0, length));
      // A cut through an escape can change the last character ("\'e" reads as "e"), never
      // what comes before it.
      QVERIFY2(full.startsWith(text.chopped(std::min<qsizetype>(1, text.size()))),
               qPrintable(text));
    }
  }

  void RandomBytesEndQuietly() {
    QRandomGenerator random(20240611);
    const std::string alphabet = "{}\\'*;0123456789-abinuc par fs\x80\xff\0"s;
    for (int round = 0; round < 300; ++round) {
      std::string junk(4096, ' ');
      const bool fromAlphabet = round % 2 == 0;
      for (char& c : junk)
        c = fromAlphabet ? alphabet[random.bounded(int(alphabet.size()))]
                         : char(random.bounded(256));
      if (round % 3 == 0) junk.insert(0, "{\\rtf1 ");
      QTextDocument document;
      ReadRtf(junk, document);
    }
  }

  void MegabytesReadInLinearTime() {
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 A;}}{\\colortbl;\\red255;}";
    const std::string paragraph =
        "{\\b gras} \\i italique\\i0  caf\\'e9 \\u8364? {\\cf1\\fs30 rouge} texte ordinaire\\par\n";
    const int paragraphs = 40000;
    rtf.reserve(paragraph.size() * paragraphs + 16);
    for (int i = 0; i < paragraphs; ++i) rtf += paragraph;
    rtf += '}';
    QVERIFY(rtf.size() > 3000000);
    QTextDocument document;
    ReadRtf(rtf, document);
    QCOMPARE(document.blockCount(), paragraphs);
    QCOMPARE(document.lastBlock().text(),
             QString::fromUtf8("gras italique café € rouge texte ordinaire"));

    // One paragraph of many runs, in a document that an editor lays out.
    std::string runs = "{\\rtf1 ";
    for (int i = 0; i < 100000; ++i) runs += "{\\b a}{\\i b}";
    QTextEdit editor;
    ReadRtf(runs + "}", *editor.document());
    QCOMPARE(editor.document()->blockCount(), 1);
    QCOMPARE(editor.document()->characterCount(), 200001);

    const std::string plain(8 << 20, 'x');
    ReadRtf("{\\rtf1 " + plain + "}", document);
    QCOMPARE(document.characterCount(), int(plain.size()) + 1);
  }
};

}  // namespace vyn

QTEST_MAIN(vyn::TRtfReaderTest)
#include "rtf_reader_test.moc"
