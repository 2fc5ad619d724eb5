#include "jet/RawTable.h"

int findColumn(const std::vector<RawColumn>& columns, const QString& name) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}
