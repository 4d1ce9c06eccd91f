#pragma once

#include <memory>
#include <utility>
#include <vector>

class ClpSimplex;

// The master problem of the pattern LP, solved by COIN-OR CLP: bars of each
// pattern (cost: its stock length) so that every piece length is cut at
// least as often as wanted and no stock length is used more often than there
// are bars of it. Each piece length also has a column of its own at a high
// cost, so that the problem always has a solution; using it means the stock
// on hand cannot cover the pieces.
namespace plans {

class PatternLp {
public:
    PatternLp(int demands, int limits, double uncoveredCost);
    ~PatternLp();
    PatternLp(const PatternLp&) = delete;
    PatternLp& operator=(const PatternLp&) = delete;

    void setDemand(int row, double pieces);
    void setLimit(int limit, double bars);
    // entries: (demand row, pieces per bar); limit: the stock's limit row or -1.
    int addColumn(const std::vector<std::pair<int, double>>& entries, int limit, double cost);
    void enableColumn(int column, bool enabled);
    bool columnEnabled(int column) const;

    // False when CLP did not reach the optimum (time, numerical trouble).
    bool solve(double seconds);
    double objective() const;
    double columnValue(int column) const;
    double reducedCost(int column) const;
    double demandPrice(int row) const;  // the dual of a demand row, >= 0
    double limitPrice(int limit) const; // the dual of a limit row, <= 0
    double artificialUse() const;       // pieces left to the uncovered columns

private:
    std::unique_ptr<ClpSimplex> m_model;
    int m_demands = 0;
    std::vector<char> m_enabled;
};

} // namespace plans
