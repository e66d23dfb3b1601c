#include <QTest>

#include "PdfText.h"
#include "ShownView.h"
#include "TestFiles.h"
#include "editor/TextViewer.h"
#include "text/Exceptions.h"

namespace {

// Numbered words in paragraphs far wider than the page, so that a word lost, repeated or out of order
// shows; after each form feed a section opens with its marker.
std::string LongDocument(int sections, int paragraphs) {
    std::string text;
    for (int s = 0, word = 0; s < sections; ++s) {
        if (s > 0) text += "\fS" + std::to_string(s) + "\n";
        for (int p = 0; p < paragraphs; ++p, text += "\n")
            for (int i = 0; i < 30 + (p * 7) % 40; ++i)
                text += QString::asprintf("w%05d ", word++).toStdString();
    }
    return text;
}

std::string NumberedLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += QString::asprintf("L%04d\n", i).toStdString();
    return text;
}

QString Line(TTextPos number) {
    return QString::asprintf("L%04lld", static_cast<long long>(number));
}

QStringList WordsOf(const QStringList& lines) {
    return lines.join(' ').split(' ', Qt::SkipEmptyParts);
}

// A viewer of a text printing to a PDF file on Letter paper.
struct Printing {
    explicit Printing(const std::string& text, TWrapModes mode = TWrapModes::opPrinter)
        : path(QString::fromStdString((dir / "out.pdf").string())), printer(PdfPrinter(path)),
          shown(TextOver(text), mode, 20, 60) {
        shown.view.PrinterChanged();
        shown.Settle();
        shown.view.OnPagePrint = [this](TLinesViewer&, TTextPos page, TTextPos total) {
            events << QString("%1/%2").arg(page).arg(total);
        };
    }
    // Prints and reads the PDF back: each page's lines with text, less the header and the number.
    QList<QStringList> Print(int range = 0, TTextPos from = 1, TTextPos to = 1, int copies = 1) {
        events.clear();
        footers.clear();
        shown.view.Print("My Header", "job", to, from, range, true, true, copies);
        QList<QStringList> bodies;
        for (const QString& page : PdfPages(path)) {
            QStringList lines = TextLines(page);
            if (lines.size() < 2 || lines.takeFirst() != "My Header") return {};
            footers << lines.takeLast();
            bodies << lines;
        }
        return bodies;
    }
    TTempDir dir;
    QString path;
    QPrinter& printer;
    TShownView<TTextViewer> shown;
    QStringList events, footers;
};

QStringList Numbers(int from, int to) {
    QStringList list;
    for (int i = from; i <= to; ++i)
        list << QString("Page %1").arg(i);
    return list;
}

} // namespace

class PrintTest : public QObject {
    Q_OBJECT
private slots:
    // Every word in order, lines no wider than the printer's width, one sheet per page the editor
    // counts, each with the header and its number, and a new sheet at each form feed.
    void printsEveryPageAsTheEditorCountsThem() {
        const std::string text = LongDocument(3, 60);
        Printing p(text);
        const int pages = static_cast<int>(p.shown.view.PageCount());
        const QList<QStringList> bodies = p.Print();
        QVERIFY(pages > 6);
        QCOMPARE(bodies.size(), pages);
        QCOMPARE(p.footers, Numbers(1, pages));
        QCOMPARE(p.events.first(), QString("1/%1").arg(pages));
        QCOMPARE(p.events.last(), QString("%1/%1").arg(pages));

        const QPrinter& printer = p.printer;
        const TTextPos columns = (printer.pageLayout().fullRectPixels(printer.resolution()).width() -
                                  p.shown.view.PrintMargin(0) - p.shown.view.PrintMargin(2)) /
                                 p.shown.view.TextBuffer()->PrinterAvgCharWidth();
        QStringList printed;
        qsizetype widest = 0;
        for (const QStringList& body : bodies) {
            QVERIFY(body.size() <= p.shown.view.LinesPerPage());
            for (const QString& line : body)
                widest = std::max(widest, line.size());
            printed << WordsOf(body);
        }
        QVERIFY2(widest <= columns && widest > columns - 8, qPrintable(QString::number(widest)));
        QCOMPARE(printed.filter("w"), WordsOf(QString::fromStdString(text).split('\n')).filter("w"));
        for (const QString marker : {"S1", "S2"}) // each section opens a sheet, its form feed unseen
            QVERIFY(std::any_of(bodies.begin(), bodies.end(),
                                [&](auto& body) { return body.value(0) == marker; }));
        QCOMPARE(p.shown.view.WrapMode(), TWrapModes::opPrinter); // as it printed
    }

    // A sheet holds one numbered page: a page-break line opens its page without being printed, so
    // the sheet after it holds one line less.
    void sheetsFollowTheNumberedPages() {
        Printing p(NumberedLines(10) + "\f" + NumberedLines(150), TWrapModes::opNone);
        const TTextPos perPage = p.shown.view.LinesPerPage(), pages = p.shown.view.PageCount();
        const QList<QStringList> bodies = p.Print();
        QCOMPARE(bodies.size(), pages);
        QCOMPARE(bodies[0].size(), 10);
        QCOMPARE(bodies[1].size(), perPage - 1);
        QCOMPARE(bodies[1].first(), Line(0));
        QCOMPARE(bodies[2].first(), Line(perPage - 1));

        Printing onlyBreak("\f");
        QCOMPARE(onlyBreak.Print().size(), 2); // two pages, nothing on either
    }

    void printsPagesNumberedFromOneAndCopies() {
        Printing p(NumberedLines(400), TWrapModes::opNone);
        const TTextPos perPage = p.shown.view.LinesPerPage(), last = p.shown.view.PageCount();
        QList<QStringList> bodies = p.Print(2, 3, 4);
        QCOMPARE(p.footers, Numbers(1, 2));
        QCOMPARE(p.events, QStringList({"1/2", "2/2"}));
        QCOMPARE(bodies[0].first(), Line(2 * perPage));
        QCOMPARE(bodies[1].last(), Line(4 * perPage - 1));
        // Up to the last page, the text's last line too; a page the text does not have is refused.
        QCOMPARE(p.Print(2, last - 1, last).last().last(), Line(399));
        QVERIFY_THROWS_EXCEPTION(EUserError, p.Print(2, last + 1, last + 1));
        // Copies go into one file, each numbered from 1.
        bodies = p.Print(2, 1, 2, 2);
        QCOMPARE(p.footers, Numbers(1, 2) + Numbers(1, 2));
        QCOMPARE(bodies[2], bodies[0]);
    }

    void printsTheSelection() {
        Printing p(NumberedLines(20), TWrapModes::opNone);
        TTextViewer& view = p.shown.view;
        view.Print("h", "t", 1, 1, 1, false, true); // no selection: nothing
        QVERIFY(!QFile::exists(p.path));
        view.SetSelection({3, 5}, {2, 9}, TSelModes::smStream); // the middle of line 5 to that of 9
        QCOMPARE(p.Print(1), QList<QStringList>({{"05", "L0006", "L0007", "L0008", "L0"}}));
        QCOMPARE(view.SelStart().Char, 3); // the selection stays
        // Whole lines selected up to the next line's start: nothing of that line.
        view.SetSelection({0, 2}, {0, 4}, TSelModes::smStream);
        QCOMPARE(p.Print(1), QList<QStringList>({{"L0002", "L0003"}}));
        view.SetSelection({1, 2}, {3, 4}, TSelModes::smColumn);
        QCOMPARE(p.Print(1), QList<QStringList>({{"00", "00", "00"}}));
        QVERIFY_THROWS_EXCEPTION(Exception, view.Print("h", "t", 1, 1, 3, false, true));
    }

    // The job stops at the next sheet once asked to, and the editor comes back as it was.
    void abandonedJobEndsCleanly() {
        Printing p(NumberedLines(600), TWrapModes::opNone);
        TTextViewer& view = p.shown.view;
        view.SetZoom(1);
        view.GoToOffset(3000, false);
        view.OnPagePrint = [](TLinesViewer&, TTextPos, TTextPos) { QTest::qSleep(20); }; // each poll pumps
        view.OnProgressEvent = [](TLinesViewer&, TTextPos done, TTextPos, bool& cancel) {
            cancel = done >= 3;
        };
        QCOMPARE(p.Print().size(), 2);
        QCOMPARE(view.Zoom(), 1);
        QCOMPARE(view.CaretOffset(), 3000);
        QCOMPARE(view.State() & (sfPrinting | sfBusy), 0u);
    }
};

QTEST_MAIN(PrintTest)
#include "PrintTest.moc"
