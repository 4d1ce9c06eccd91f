#include "core/plans/pattern_lp.h"

#include <ClpSimplex.hpp>

#include <algorithm>
#include <cfloat>

namespace plans {

PatternLp::PatternLp(int demands, int limits, double uncoveredCost)
    : m_model(std::make_unique<ClpSimplex>()), m_demands(demands) {
    m_model->setLogLevel(0);
    m_model->resize(demands + limits, 0);
    for (int r = 0; r < demands; ++r) {
        m_model->setRowLower(r, 0);
        m_model->setRowUpper(r, COIN_DBL_MAX);
    }
    for (int r = demands; r < demands + limits; ++r) {
        m_model->setRowLower(r, -COIN_DBL_MAX);
        m_model->setRowUpper(r, 0);
    }
    for (int r = 0; r < demands; ++r) {
        const double one = 1;
        m_model->addColumn(1, &r, &one, 0, COIN_DBL_MAX, uncoveredCost);
    }
}

PatternLp::~PatternLp() = default;

void PatternLp::setDemand(int row, double pieces) {
    m_model->setRowLower(row, pieces);
}

void PatternLp::setLimit(int limit, double bars) {
    m_model->setRowUpper(m_demands + limit, bars);
}

int PatternLp::addColumn(const std::vector<std::pair<int, double>>& entries, int limit,
                         double cost) {
    std::vector<int> rows;
    std::vector<double> values;
    for (const auto& [row, value] : entries) {
        rows.push_back(row);
        values.push_back(value);
    }
    if (limit >= 0) {
        rows.push_back(m_demands + limit);
        values.push_back(1);
    }
    m_model->addColumn(int(rows.size()), rows.data(), values.data(), 0, COIN_DBL_MAX, cost);
    m_enabled.push_back(1);
    return int(m_enabled.size()) - 1;
}

void PatternLp::enableColumn(int column, bool enabled) {
    m_enabled[std::size_t(column)] = enabled;
    m_model->setColumnUpper(m_demands + column, enabled ? COIN_DBL_MAX : 0);
}

bool PatternLp::columnEnabled(int column) const {
    return m_enabled[std::size_t(column)];
}

bool PatternLp::solve(double seconds) {
    m_model->setMaximumSeconds(std::max(seconds, 0.001));
    // Work areas and factorisation kept between solves (1): freeing and
    // taking them again each time cost more than the pivots.
    m_model->primal(0, 1);
    return m_model->status() == 0;
}

double PatternLp::objective() const {
    return m_model->objectiveValue();
}

double PatternLp::columnValue(int column) const {
    return m_model->primalColumnSolution()[m_demands + column];
}

double PatternLp::reducedCost(int column) const {
    return m_model->dualColumnSolution()[m_demands + column];
}

double PatternLp::demandPrice(int row) const {
    return m_model->dualRowSolution()[row];
}

double PatternLp::limitPrice(int limit) const {
    return m_model->dualRowSolution()[m_demands + limit];
}

double PatternLp::artificialUse() const {
    double sum = 0;
    for (int r = 0; r < m_demands; ++r)
        sum += m_model->primalColumnSolution()[r];
    return sum;
}

} // namespace plans
