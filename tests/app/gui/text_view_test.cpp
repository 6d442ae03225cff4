// The output window's text view: lines appended and coloured as the text sink does wait in a pending
// tail; what the logic reads, and the document the operator sees, are those of line-by-line edits.
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <string>
#include <vector>

#include "app/gui/text_edit.h"
#include "core/memory_text_view.h"

using namespace vireo;

namespace {

// One step of a run into the output: an append at the end, a colouring of text positions, or a read
// of the whole text (which puts the pending tail into the document).
struct Step {
  std::string append = {};
  long colour_start = -1;
  long colour_length = 0;
  Rgb colour{255, 43, 1};
  bool read = false;
};

void play(TextView& view, const std::vector<Step>& steps) {
  for (const Step& step : steps) {
    if (step.read) {
      (void)view.text();
    } else if (step.colour_start >= 0) {
      view.set_selection_start(step.colour_start);
      view.set_selection_length(step.colour_length);
      view.set_selection_color(step.colour);
    } else {
      view.set_selection_start(view.length());
      view.set_selection_length(static_cast<long>(step.append.size()));
      view.replace_selection(step.append);
    }
  }
}

// The same steps as single edits on a document: each append on a fresh cursor at the end, on a new row
// unless the document ends a line, and each colouring merged over its selection.
void play_directly(QTextDocument& document, const std::vector<Step>& steps) {
  std::vector<int> breaks;  // document positions of the row breaks
  const auto at = [&breaks](long position) {
    int before = 0;
    while (before < static_cast<int>(breaks.size()) && breaks[before] - before <= position) ++before;
    return static_cast<int>(position) + before;
  };
  for (const Step& step : steps) {
    if (step.read) continue;
    if (step.colour_start >= 0) {
      QTextCursor c(&document);
      c.setPosition(at(step.colour_start));
      c.setPosition(at(step.colour_start + step.colour_length), QTextCursor::KeepAnchor);
      QTextCharFormat format;
      format.setForeground(QColor(step.colour.r, step.colour.g, step.colour.b));
      c.mergeCharFormat(format);
      continue;
    }
    const QString line = view_text(step.append);
    QTextCursor end(&document);
    end.movePosition(QTextCursor::End);
    if (end.position() > 0 && !line.isEmpty() && !line.startsWith(QLatin1Char('\n')) &&
        document.characterAt(end.position() - 1) != QChar::ParagraphSeparator) {
      breaks.push_back(end.position());
      end.insertBlock();
    }
    end.insertText(line);
  }
}

// Each block's own format colour, then its pieces of text with their colours.
QStringList coloured_pieces(const QTextDocument& document) {
  QStringList pieces;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    pieces << QStringLiteral("row %1").arg(block.charFormat().foreground().color().name());
    for (auto it = block.begin(); !it.atEnd(); ++it)
      pieces << it.fragment().text() + QLatin1Char(' ') + it.fragment().charFormat().foreground().color().name();
  }
  return pieces;
}

// A run as the text sink makes it: each line appended and its leading code coloured, with a colouring
// that reaches the end of its line (the next line takes that colour, as in the document) and one that
// spans a row break.
const std::vector<Step> kRun = {
    {.append = "F04X00100*"},
    {.colour_start = 0, .colour_length = 3},
    {.append = "X00200Y00300*"},
    {.append = "S12"},
    {.colour_start = 23, .colour_length = 3, .colour = {0, 105, 230}},
    {.append = "\nG01 Z\xE0"},
    {.colour_start = 30, .colour_length = 2, .colour = {0, 128, 0}},
    {.read = true},
    {.append = "R;"},
    {.append = ""},
    {.append = "p1\n"},
    {.colour_start = 33, .colour_length = 2},
    {.append = "g2"},
    {.colour_start = 36, .colour_length = 3, .colour = {0, 105, 230}},
    {.colour_start = 32, .colour_length = 2, .colour = {0, 128, 0}},
    {.colour_start = 10, .colour_length = 2, .colour = {0, 105, 230}},
    {.append = "S7"},
    {.colour_start = 40, .colour_length = 2, .colour = {0, 105, 230}},
    {.append = "F1"},
};

}  // namespace

class TextViewTest : public QObject {
  Q_OBJECT
 private slots:
  void appended_output_reads_as_in_memory_text();
  void the_document_is_that_of_line_by_line_edits();
};

void TextViewTest::appended_output_reads_as_in_memory_text() {
  // After each prefix of the run: the reads the logic makes give what a text in memory gives.
  for (std::size_t steps = 1; steps <= kRun.size(); ++steps) {
    const std::vector<Step> run(kRun.begin(), kRun.begin() + static_cast<long>(steps));
    TextEdit edit;
    QtTextView view(&edit);
    view.set_row_per_append(true);
    MemoryTextView memory;
    play(view, run);
    play(memory, run);
    QCOMPARE(view.length(), memory.length());
    QCOMPARE(view.selection_start(), memory.selection_start());
    QCOMPARE(view.selection_length(), memory.selection_length());
    QCOMPARE(view.text(), memory.text());
    for (const long position : {0L, 9L, 10L, 26L, 27L, 34L, 1000L}) QCOMPARE(view.line_of(position), memory.line_of(position));
    for (const char* what : {"X", "S12", "G01", "p1"}) {
      QCOMPARE(view.find(what, 2, -1, {.whole_word = false, .match_case = true}),
               memory.find(what, 2, -1, {.whole_word = false, .match_case = true}));
      QCOMPARE(view.selected_text(), memory.selected_text());
    }
  }
}

void TextViewTest::the_document_is_that_of_line_by_line_edits() {
  TextEdit edit;
  QtTextView view(&edit);
  view.set_row_per_append(true);
  play(view, kRun);
  QTextDocument direct;
  direct.setDefaultFont(edit.document()->defaultFont());
  play_directly(direct, kRun);
  // The event loop puts the pending tail up; the first rows' codes carry their colours.
  QTRY_COMPARE(edit.document()->toPlainText(), direct.toPlainText());
  const QStringList pieces = coloured_pieces(*edit.document());
  QCOMPARE(pieces.mid(0, 4), QStringList({QStringLiteral("row #000000"), QStringLiteral("F04 #ff2b01"),
                                          QStringLiteral("X00100* #000000"), QStringLiteral("row #000000")}));
  QCOMPARE(pieces, coloured_pieces(direct));
}

QTEST_MAIN(TextViewTest)
#include "text_view_test.moc"
