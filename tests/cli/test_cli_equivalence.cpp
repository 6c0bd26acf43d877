// For the same folders and steps, the command gives the grid, the messages
// and the files on disk that the file logic gives when driven as the file
// window drives it; compared after every step.
#include "cli_cases.h"

#include <QTest>

using namespace zorv::test;

class TestCliEquivalence : public QObject {
    Q_OBJECT
private slots:
    void sameGridAsTheWindowLogic_data() { addEquivalenceCases(); }
    void sameGridAsTheWindowLogic() {
        std::unique_ptr<WindowDriver> window = makeCoreDriver();
        checkEquivalence(*window);
    }
};

QTEST_GUILESS_MAIN(TestCliEquivalence)
#include "test_cli_equivalence.moc"
