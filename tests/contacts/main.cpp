#include "WindowTests.h"

#include <QTest>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int status = 0;
    {
        TestMainWindow t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestEditor t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestPickers t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestMaintenance t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestExport t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}
