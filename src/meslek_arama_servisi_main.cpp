#include <QCoreApplication>

#include "desktopsearch/ServiceEntry.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    return runSearchService(application);
}
