#include <QTest>

#include "gui/file_filter.h"
#include "gui/log_marks.h"
#include "gui/setup_layout.h"
#include "gui_test.h"
#include "tests/support/temp_dir.h"

using namespace tessel;

class TGuiHelpersTest : public QObject {
  Q_OBJECT

 private slots:
  void SystemFiltersBecomeCaseBlindQtFilters() {
    QCOMPARE(QtFileFilter("EXE|*.EXE"), QString("EXE (*.EXE *.exe);;All files (*)"));
    QCOMPARE(QtFileFilter("SDK-source|*.CPP;*.ASM;*.SRC"),
             QString("SDK-source (*.CPP *.cpp *.ASM *.asm *.SRC *.src);;All files (*)"));
    QCOMPARE(QtFileFilter("fxCG-INI|*.INI"), QString("fxCG-INI (*.INI *.ini);;All files (*)"));
    // Every file, also one without an extension, and no second entry.
    QCOMPARE(QtFileFilter("*.*"), QString("*.* (*)"));
    QCOMPARE(QtFileFilter("A|*.a|B|*.*"), QString("A (*.a *.A);;B (*)"));
  }

  void ToolMessagesAndFailedBuildsAreMarked() {
    QCOMPARE(LogMarkOf("C:\\P\\A.CPP(12): error: missing ;"), TLogMark::Error);
    QCOMPARE(LogMarkOf("A.CPP(7) : Warning : unused"), TLogMark::Warning);
    QCOMPARE(LogMarkOf("a.c:3:5: error: x"), TLogMark::Error);
    QCOMPARE(LogMarkOf("a.c:3: warning: x"), TLogMark::Warning);
    QCOMPARE(LogMarkOf("Finished with errors."), TLogMark::Error);
    // Mentions outside the tool form stay plain.
    QCOMPARE(LogMarkOf("no errors: fine"), TLogMark::None);
    QCOMPARE(LogMarkOf("error: start this program as asmsh"), TLogMark::None);
    QCOMPARE(LogMarkOf("A.CPP(): error: x"), TLogMark::None);
    QCOMPARE(LogMarkOf("A.CPP(1) error: x"), TLogMark::None);
    QCOMPARE(LogMarkOf("A.CPP(1): errors: x"), TLogMark::None);
    QCOMPARE(LogMarkOf("Finished with errors. "), TLogMark::None);
    QCOMPARE(LogMarkOf(""), TLogMark::None);
  }

  void LayoutScalesToTheCurrentScreen() {
    test::TTempDir dir;
    const std::string path =
        dir.Write("P.INI",
                  "[uSetupProject]\r\nSCREENHEIGHT=@768@\r\n"
                  "SCREENWIDTH=@1024@\r\nMAINHEIGHT=@577@\r\nMAINLEFT=@-3@\r\n");
    const TQuotedINI ini(path);
    const TLayoutScale scale(ini, 1536, 2048);
    QCOMPARE(scale.ReadHeight("MAINHEIGHT", 10), 1154);
    QCOMPARE(scale.ReadWidth("MAINLEFT", 10), -6);
    QCOMPARE(scale.ReadWidth("MAINWIDTH", 916), 1832);  // a default is scaled as well
    // Cut towards zero, multiplication first.
    const TLayoutScale down(ini, 1000, 1000);
    QCOMPARE(down.Height(577), 751);  // 577000 / 768 = 751.3
    QCOMPARE(down.Width(-3), -2);     // -3000 / 1024 = -2.9

    // A screen size of zero or less counts as missing: no scaling.
    const std::string bad = dir.Write(
        "BAD.INI", "[uSetupProject]\r\nSCREENHEIGHT=@0@\r\nSCREENWIDTH=@-5@\r\nMAINTOP=@40@\r\n");
    const TQuotedINI badIni(bad);
    const TLayoutScale same(badIni, 1536, 2048);
    QCOMPARE(same.ReadHeight("MAINTOP", 0), 40);
    QCOMPARE(same.Width(33), 33);
  }
};

TESSEL_GUI_TEST(TGuiHelpersTest);

#include "gui_helpers_test.moc"
