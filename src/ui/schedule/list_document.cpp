#include "ui/schedule/list_document.h"

ListDocument::ListDocument(QObject* parent) : QObject(parent) {
    m_computed = schedule::computeList(m_list);
}

void ListDocument::setFilePath(const QString& path) {
    if (path == m_path)
        return;
    m_path = path;
    Q_EMIT filePathChanged(path);
}

void ListDocument::change(const QString& text, const schedule::CuttingList& after,
                          const ListCursor& cursorAfter, const ListCursor& cursorBefore) {
    if (after == m_list)
        return;
    m_undo.push(new ListEdit(this, text, m_list, after, cursorBefore, cursorAfter));
}

void ListDocument::replace(const schedule::CuttingList& list, const QString& path, bool modified,
                           std::optional<plans::ListPlan> plan) {
    m_undo.clear();
    m_plan = std::move(plan);
    if (modified)
        m_undo.resetClean();
    else
        m_undo.setClean();
    setFilePath(path);
    apply(list, ListCursor{list.members.isEmpty() ? -1 : 0, -1, 0});
}

void ListDocument::apply(const schedule::CuttingList& list, const ListCursor& cursor) {
    m_list = list;
    m_computed = schedule::computeList(m_list);
    ++m_revision;
    Q_EMIT listChanged(cursor);
    checkPlan();
}

void ListDocument::changePlan(const QString& text, std::optional<plans::ListPlan> plan,
                              std::optional<OffcutChange> offcuts) {
    m_undo.push(new PlanChange(this, text, m_plan, std::move(plan), std::move(offcuts)));
}

void ListDocument::applyOffcuts(const OffcutChange& change, bool forward) {
    // The file is read again first: another list's window may have written it.
    const QString problem = forward ? offcuts::applyToFile(change.store, change.delta)
                                    : offcuts::revertInFile(change.store, change.delta);
    Q_EMIT offcutStoreChanged(change.store, problem);
}

void ListDocument::applyPlan(const std::optional<plans::ListPlan>& plan) {
    m_plan = plan;
    ++m_revision;
    checkPlan();
}

void ListDocument::checkPlan() {
    // Never recomputed here: a plan takes seconds, and the user says when.
    m_planOutOfDate = m_plan && plans::isOutOfDate(*m_plan, m_list);
    Q_EMIT planChanged();
}
