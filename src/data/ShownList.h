#pragma once

#include <QtGlobal>

#include <functional>
#include <memory>
#include <vector>

// The shown list: the position numbers (1-based in the whole result) of the
// rows the filter lets through, in order; every row while no filter decides.
// For readers that present the whole list (assistive technology), not for
// painting. Worked out on first use and kept until renewed.
class ShownList {
public:
    // Works the list out over the whole result.
    using Collect = std::function<std::vector<int>()>;

    explicit ShownList(Collect collect) : collect_(std::move(collect)) {}

    // The result or the filter changed: `rows` rows (0 when closed), all of
    // them shown unless `filtering`. The list is worked out again when asked.
    void renew(int rows, bool filtering);
    // Changes at every renewal.
    quint64 generation() const { return generation_; }

    int count() const;
    // The position number of shown row `row` (0-based), 0 when out of range.
    int position(int row) const;
    // The shown row (0-based) of a position number, -1 when it does not show
    // or is out of range.
    int rowOf(int position) const;

private:
    const std::vector<int>& positions() const;

    Collect collect_;
    int rows_ = 0;
    bool filtering_ = false;
    mutable std::unique_ptr<const std::vector<int>> positions_;
    quint64 generation_ = 0;
};
