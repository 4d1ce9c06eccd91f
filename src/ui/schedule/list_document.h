#pragma once

#include "core/plans/list_plan.h"
#include "core/schedule/computation.h"
#include "core/schedule/cutting_list.h"
#include "ui/schedule/list_commands.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <optional>

// The cutting list the window edits: the list, its file, its computed
// figures, its cutting plan and the undo stack that every change goes
// through.
class ListDocument : public QObject, private ListEditTarget {
    Q_OBJECT
public:
    explicit ListDocument(QObject* parent = nullptr);

    const schedule::CuttingList& list() const { return m_list; }
    const schedule::ComputedList& computed() const { return m_computed; }
    QUndoStack* undoStack() { return &m_undo; }

    // The file the list was read from or last saved to; empty while untitled.
    const QString& filePath() const { return m_path; }
    void setFilePath(const QString& path);
    bool isModified() const { return !m_undo.isClean(); }
    // Counts every change, done or undone, so that an autosave can tell
    // whether anything happened since it last wrote.
    int revision() const { return m_revision; }

    // The list after an edit, as one undoable step named `text`. Nothing is
    // recorded when the list stays as it was.
    void change(const QString& text, const schedule::CuttingList& after,
                const ListCursor& cursorAfter, const ListCursor& cursorBefore);
    // A list that replaces this one (new, opened), with no undo history.
    // `modified`: as a list not saved yet (a recovered autosave).
    void replace(const schedule::CuttingList& list, const QString& path, bool modified,
                 std::optional<plans::ListPlan> plan = std::nullopt);

    // The cutting plan kept with the list, if one was made or read.
    const std::optional<plans::ListPlan>& plan() const { return m_plan; }
    // The list no longer gives what the plan was made from (过期). Kept up
    // to date as the list changes, is undone or redone.
    bool isPlanOutOfDate() const { return m_planOutOfDate; }
    // A plan made for the list, as one undoable step named `text`; with
    // `offcuts`, the offcut store takes what the plan uses and keeps in the
    // same step, and undo gives it back.
    void changePlan(const QString& text, std::optional<plans::ListPlan> plan,
                    std::optional<OffcutChange> offcuts = std::nullopt);

Q_SIGNALS:
    // After every change: the list as it now is, and where to show it.
    void listChanged(const ListCursor& cursor);
    void filePathChanged(const QString& path);
    // After the plan or whether it is out of date changed.
    void planChanged();
    // After the offcut store's file was written with a plan or without it;
    // `problem` says why it could not be, in Chinese, or is empty.
    void offcutStoreChanged(const QString& store, const QString& problem);

private:
    void apply(const schedule::CuttingList& list, const ListCursor& cursor) override;
    void applyPlan(const std::optional<plans::ListPlan>& plan) override;
    void applyOffcuts(const OffcutChange& change, bool forward) override;
    void checkPlan();

    schedule::CuttingList m_list;
    std::optional<plans::ListPlan> m_plan;
    bool m_planOutOfDate = false;
    schedule::ComputedList m_computed;
    QUndoStack m_undo;
    QString m_path;
    int m_revision = 0;
};
