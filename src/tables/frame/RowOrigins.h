#pragma once
// Where the rows of a table dialog came from: after the load, row r holds what row r of the file
// held; Insert Row and Delete Row move the rows under it. A table whose rows other files refer to
// by position alone (a byte map per frame, offsets per slave) uses it at OK to move those files'
// rows with the table's, so that no row is re-attached to another frame or slave.
#include <vector>

namespace tables {

class RowOrigins {
public:
    // Rows 1 .. `rows`, each where it was in the file.
    void reset(int rows)
    {
        origin_.resize(size_t(rows));
        for (int i = 0; i < rows; ++i)
            origin_[size_t(i)] = i;
    }
    // Insert Row at `row`: the rows from there move one down, the last one is lost, `row` is new.
    void inserted(int row)
    {
        if (row < 1 || size_t(row) > origin_.size())
            return;
        origin_.insert(origin_.begin() + (row - 1), kNew);
        origin_.pop_back();
    }
    // Delete Row at `row`: the rows below move one up, the last one is new.
    void deleted(int row)
    {
        if (row < 1 || size_t(row) > origin_.size())
            return;
        origin_.erase(origin_.begin() + (row - 1));
        origin_.push_back(kNew);
    }
    // The 0-based file row that grid row `row` came from; kNew for a row made by Insert or Delete.
    int origin(int row) const
    {
        return row >= 1 && size_t(row) <= origin_.size() ? origin_[size_t(row - 1)] : kNew;
    }
    // True when a row was inserted or deleted since the load.
    bool moved() const
    {
        for (size_t i = 0; i < origin_.size(); ++i)
            if (origin_[i] != int(i))
                return true;
        return false;
    }

    static constexpr int kNew = -1;

private:
    std::vector<int> origin_;
};

} // namespace tables
