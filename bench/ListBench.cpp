// Opens the list of classes an export passed over, as the window shows it, for 10,000 and
// 100,000 classes in Spanish and in Galician: from the list to the dialog painted on Qt's
// offscreen platform. In Galician every cell is looked up in the table of Galician texts; the
// Spanish figure is the yardstick for that lookup.
#include "app/ListDialog.h"
#include "app/Translation.h"
#include "support/LongList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    using conv::lang::Language;
    std::printf("%-44s %10s\n", "list of classes passed over (median of 5)", "ms");
    for (const int count : {10000, 100000}) {
        for (const Language language : {Language::Spanish, Language::Galician}) {
            if (!conv::app::useLanguage(language))
                return 1;
            std::vector<double> ms;
            for (int round = 0; round < 5; ++round) {
                conv::RowList list = conv::test::passedOverList(count);
                QElapsedTimer clock;
                clock.start();
                conv::app::ListDialog dialog(std::move(list), conv::app::ListDialog::Choice::Close);
                dialog.show();
                if (!QTest::qWaitForWindowExposed(&dialog))
                    return 1;
                QCoreApplication::processEvents();
                ms.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
            }
            std::sort(ms.begin(), ms.end());
            std::printf("%7d classes, %-28s %10.1f\n", count, conv::lang::code(language), ms[ms.size() / 2]);
        }
    }
    return 0;
}
