#include "DataTests.h"

#include <QCoreApplication>
#include <QTest>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int failed = 0;
    {
        TestConnection t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        TestSchema t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        TestDataSet t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        TestDM t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        TestConcurrency t;
        failed += QTest::qExec(&t, argc, argv);
    }
    return failed;
}
