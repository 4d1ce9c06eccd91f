#include "ui/schedule/list_commands.h"

ListEdit::ListEdit(ListEditTarget* document, const QString& text, schedule::CuttingList before,
                   schedule::CuttingList after, const ListCursor& cursorBefore,
                   const ListCursor& cursorAfter)
    : QUndoCommand(text), m_document(document), m_before(std::move(before)),
      m_after(std::move(after)), m_cursorBefore(cursorBefore), m_cursorAfter(cursorAfter) {}

void ListEdit::undo() {
    m_document->apply(m_before, m_cursorBefore);
}

void ListEdit::redo() {
    m_document->apply(m_after, m_cursorAfter);
}

PlanChange::PlanChange(ListEditTarget* document, const QString& text,
                       std::optional<plans::ListPlan> before, std::optional<plans::ListPlan> after,
                       std::optional<OffcutChange> offcuts)
    : QUndoCommand(text), m_document(document), m_before(std::move(before)),
      m_after(std::move(after)), m_offcuts(std::move(offcuts)) {}

void PlanChange::undo() {
    if (m_offcuts)
        m_document->applyOffcuts(*m_offcuts, false);
    m_document->applyPlan(m_before);
}

void PlanChange::redo() {
    m_document->applyPlan(m_after);
    if (m_offcuts)
        m_document->applyOffcuts(*m_offcuts, true);
}
