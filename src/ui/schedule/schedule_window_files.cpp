#include "ui/schedule/schedule_window.h"

// The cutting-list window's files: open, save, CSV, autosave and closing.

#include "core/codes/steel_grades.h"
#include "core/numbers/number_reading.h"
#include "core/numbers/number_text.h"
#include "core/schedule/csv.h"
#include "core/schedule/list_file.h"
#include "core/schedule/row_columns.h"
#include "core/schedule/whole_file.h"
#include "ui/form/feedback.h"
#include "ui/schedule/list_help.h"
#include "ui/schedule/list_output.h"
#include "ui/schedule/list_table_model.h"
#include "ui/schedule/list_table_view.h"
#include "ui/schedule/list_window_common.h"
#include "ui/schedule/plan_view.h"
#include "ui/schedule/sketch_panel.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QSaveFile>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

using namespace schedule;
using namespace list_window;

namespace {

const QString kListFilter = QStringLiteral("Corvala 下料单 (*.cvl)");
const QString kCsvFilter = QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)");

// The same file by two names: a link, a relative path.
bool sameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QFileInfo fa(a), fb(b);
    if (fa.exists() && fb.exists())
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

} // namespace

// ---- files ----

QString ScheduleWindow::suggestedDirectory() const {
    if (!m_document->filePath().isEmpty())
        return QFileInfo(m_document->filePath()).absolutePath();
    const QStringList recent = m_recent.files();
    if (!recent.isEmpty())
        return QFileInfo(recent.first()).absolutePath();
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

bool ScheduleWindow::settleUnsaved() {
    if (!m_document->isModified())
        return true;
    const QString name =
        m_document->filePath().isEmpty() ? kUntitled : QFileInfo(m_document->filePath()).fileName();
    const int answer = feedback::ask(
        this, QStringLiteral("下料单“%1”有未保存的修改，是否保存？").arg(name),
        {QStringLiteral("保存"), QStringLiteral("不保存"), QStringLiteral("取消")}, 2);
    if (answer == 0)
        return save();
    return answer == 1;
}

void ScheduleWindow::newList() {
    if (!settleUnsaved())
        return;
    m_planView->stopAndWait();
    letGoOfAutosave();
    m_inUse.release();
    m_diskStamp = {};
    m_document->replace(freshList(), {}, false);
    showStatus(QStringLiteral("新建下料单"));
}

void ScheduleWindow::chooseAndOpen() {
    if (!settleUnsaved())
        return;
    const QString path =
        feedback::chooseFile(this, feedback::FileChoice::Open, QStringLiteral("打开下料单"),
                             suggestedDirectory(), kListFilter);
    if (!path.isEmpty())
        loadFile(path);
}

bool ScheduleWindow::openFile(const QString& path) {
    if (m_keepRecoveredCopy && sameFile(path, m_document->filePath()))
        return true;
    return settleUnsaved() && loadFile(path);
}

void ScheduleWindow::letGoOfAutosave() {
    if (m_keepRecoveredCopy)
        m_autosave.release();
    else
        m_autosave.remove();
    m_keepRecoveredCopy = false;
}

bool ScheduleWindow::loadFile(const QString& path) {
    // Read whole before anything open is touched: a file that fails leaves
    // the list as it was.
    const LoadedList loaded = loadListFile(path);
    if (!loaded.list) {
        feedback::message(this,
                          QStringLiteral("无法打开“%1”：\n%2").arg(nativePath(path), loaded.error));
        if (!QFileInfo::exists(path)) {
            m_recent.remove(path);
            refreshRecentMenu();
        }
        return false;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!sameFile(absolute, m_inUse.path()) && !m_inUse.take(absolute)) {
        const int answer = feedback::ask(
            this,
            QStringLiteral("“%1”已在另一个 Corvala 窗口中打开。\n"
                           "两处各自修改并保存时，后保存的会覆盖先保存的。\n\n仍要打开吗？")
                .arg(nativePath(path)),
            {QStringLiteral("仍然打开"), QStringLiteral("取消")}, 1);
        if (answer != 0)
            return false;
        m_inUse.release();
    }
    std::optional<plans::ListPlan> plan = readPlan(loaded, path);
    m_planView->stopAndWait();
    letGoOfAutosave();
    m_diskStamp = DiskStamp::of(absolute);
    m_reloadDeclined = {};
    m_document->replace(*loaded.list, absolute, false, plan);
    showPlanSettings(loaded, plan, path);
    m_recent.add(path);
    refreshRecentMenu();
    showStatus(QStringLiteral("已打开 %1").arg(nativePath(path)));
    return true;
}

bool ScheduleWindow::save() {
    if (m_document->filePath().isEmpty())
        return saveAs();
    return writeTo(m_document->filePath());
}

bool ScheduleWindow::saveAs() {
    const QString suggested =
        m_document->filePath().isEmpty()
            ? suggestedDirectory() + QLatin1Char('/') + kUntitled + QStringLiteral(".cvl")
            : m_document->filePath();
    QString path = feedback::chooseFile(this, feedback::FileChoice::Save, QStringLiteral("另存为"),
                                        suggested, kListFilter);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().compare(kListFileSuffix, Qt::CaseInsensitive) != 0)
        path += QLatin1Char('.') + kListFileSuffix;
    return writeTo(path);
}

bool ScheduleWindow::writeTo(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (sameFile(absolute, m_document->filePath()) && m_diskStamp.changed(absolute)) {
        const int answer = feedback::ask(
            this,
            QStringLiteral("“%1”在此窗口打开或保存之后，已被其他窗口或程序修改。\n"
                           "覆盖将丢失那些修改。")
                .arg(nativePath(path)),
            {QStringLiteral("覆盖"), QStringLiteral("另存为"), QStringLiteral("取消")}, 2);
        if (answer == 1)
            return saveAs();
        if (answer != 0)
            return false;
    }
    if (const std::optional<QString> error =
            saveListFile(m_document->list(), path, planSection(), planSettingsSection())) {
        feedback::message(this, QStringLiteral("无法保存“%1”：\n%2").arg(nativePath(path), *error));
        return false;
    }
    m_keepRecoveredCopy = false;
    m_autosave.remove();
    m_diskStamp = DiskStamp::of(absolute);
    m_reloadDeclined = {};
    if (!sameFile(absolute, m_inUse.path()))
        m_inUse.take(absolute);
    m_document->setFilePath(absolute);
    m_document->undoStack()->setClean();
    m_recent.add(path);
    refreshRecentMenu();
    refreshTitle();
    showStatus(QStringLiteral("已保存 %1").arg(nativePath(path)));
    return true;
}

std::optional<plans::ListPlan> ScheduleWindow::readPlan(const LoadedList& loaded,
                                                        const QString& path) {
    const plans::LoadedPlan read = plans::planFromJson(loaded.plan);
    if (!read.error.isEmpty())
        feedback::message(this,
                          QStringLiteral("“%1”中保存的下料方案无法读取，已舍弃；下料单照常打开。"
                                         "\n%2")
                              .arg(nativePath(path), read.error));
    return read.plan;
}

QJsonObject ScheduleWindow::planSection() const {
    const std::optional<plans::ListPlan>& plan = m_document->plan();
    return plan ? plans::planToJson(*plan) : QJsonObject();
}

QJsonObject ScheduleWindow::planSettingsSection() const {
    // Written only where they say something the plan (or the defaults) do not.
    const std::optional<plans::ListPlan>& plan = m_document->plan();
    const plans::ListPlanSettings& next = m_planView->committedSettings();
    return next == (plan ? plan->settings : plans::ListPlanSettings{})
               ? QJsonObject()
               : plans::planSettingsToJson(next);
}

void ScheduleWindow::showPlanSettings(const schedule::LoadedList& loaded,
                                      const std::optional<plans::ListPlan>& plan,
                                      const QString& path) {
    const plans::LoadedPlanSettings next = plans::planSettingsFromJson(loaded.planSettings);
    if (!next.error.isEmpty())
        feedback::message(this,
                          QStringLiteral("“%1”中保存的下料设置无法读取，已舍弃；下料单照常打开。"
                                         "\n%2")
                              .arg(nativePath(path), next.error));
    if (next.settings)
        m_planView->setSettings(*next.settings);
    else if (plan)
        m_planView->setSettings(plan->settings);
}

void ScheduleWindow::importCsv() {
    const QString path =
        feedback::chooseFile(this, feedback::FileChoice::Open, QStringLiteral("导入 CSV"),
                             suggestedDirectory(), kCsvFilter);
    if (path.isEmpty())
        return;
    const ReadFile bytes = readWholeFile(path, kLargestCsv);
    if (!bytes.error.isEmpty()) {
        feedback::message(this,
                          QStringLiteral("无法读取“%1”：\n%2").arg(nativePath(path), bytes.error));
        return;
    }
    const CsvImport read = schedule::importCsv(bytes.bytes);
    if (!read.error.isEmpty()) {
        feedback::message(this,
                          QStringLiteral("无法导入“%1”：\n%2").arg(nativePath(path), read.error));
        return;
    }
    if (!read.problems.isEmpty()) {
        QStringList lines;
        for (const CsvProblem& p : read.problems)
            lines << QStringLiteral("第 %1 行：%2").arg(p.line).arg(p.reason);
        const int answer =
            feedback::ask(this,
                          QStringLiteral("“%1”中有 %2 行无法读取：\n%3\n\n是否导入其余 %4 行？")
                              .arg(QFileInfo(path).fileName())
                              .arg(read.problems.size())
                              .arg(listedProblems(lines))
                              .arg(read.rowsRead),
                          {QStringLiteral("导入其余"), QStringLiteral("取消")}, 1);
        if (answer != 0)
            return;
    }
    if (read.rowsRead == 0 || read.list.members.isEmpty()) {
        feedback::message(
            this, QStringLiteral("“%1”中没有可导入的钢筋行。").arg(QFileInfo(path).fileName()));
        return;
    }
    CuttingList list = m_document->list();
    // A new list's one empty member gives way to what is imported.
    if (list.members.size() == 1 && list.members.first() == freshList().members.first())
        list.members.clear();
    const int first = static_cast<int>(list.members.size());
    list.members += read.list.members;
    m_document->change(QStringLiteral("导入 CSV"), list, ListCursor{first, 0, 0}, cursor());
    showStatus(QStringLiteral("已导入 %1 行（%2 个构件）")
                   .arg(read.rowsRead)
                   .arg(read.list.members.size()));
}

void ScheduleWindow::exportCsv() {
    const QString& own = m_document->filePath();
    const QString suggested =
        own.isEmpty() ? suggestedDirectory() + QLatin1Char('/') + kUntitled + QStringLiteral(".csv")
                      : QFileInfo(own).absolutePath() + QLatin1Char('/') +
                            QFileInfo(own).completeBaseName() + QStringLiteral(".csv");
    QString path = feedback::chooseFile(this, feedback::FileChoice::Save,
                                        QStringLiteral("导出 CSV"), suggested, kCsvFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    if (const std::optional<QString> error =
            writeWholeFile(path, schedule::exportCsv(m_document->list(), m_document->computed()))) {
        feedback::message(this, QStringLiteral("无法写入“%1”：\n%2").arg(nativePath(path), *error));
        return;
    }
    showStatus(QStringLiteral("已导出 %1").arg(nativePath(path)));
}

// ---- autosave and closing ----

void ScheduleWindow::autosaveNow() {
    if (!m_document->isModified() || m_document->revision() == m_autosavedRevision)
        return;
    if (const std::optional<QString> error = m_autosave.write(
            m_document->list(), m_document->filePath(), planSection(), planSettingsSection())) {
        showStatus(QStringLiteral("自动保存失败：%1").arg(*error));
        return;
    }
    m_autosavedRevision = m_document->revision();
}

void ScheduleWindow::offerRecovery() {
    for (const AutosaveStore::Entry& entry : m_autosave.entries()) {
        const QString name =
            entry.originalPath.isEmpty() ? kUntitled : nativePath(entry.originalPath);
        const int answer = feedback::ask(this,
                                         QStringLiteral("恢复未保存的下料单？\n\n%1\n自动保存于 %2")
                                             .arg(name, entry.saved.toLocalTime().toString(
                                                            QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
                                         {QStringLiteral("恢复"), QStringLiteral("放弃")}, 1);
        if (answer != 0) {
            AutosaveStore::discard(entry);
            continue;
        }
        const LoadedList loaded = loadListFile(entry.copyPath);
        if (!loaded.list) {
            feedback::message(this,
                              QStringLiteral("无法恢复自动保存的下料单：\n%1").arg(loaded.error));
            continue;
        }
        std::optional<plans::ListPlan> plan = readPlan(loaded, entry.copyPath);
        m_planView->stopAndWait();
        m_document->replace(*loaded.list, entry.originalPath, true, plan);
        showPlanSettings(loaded, plan, entry.copyPath);
        m_autosave.adopt(entry);
        m_keepRecoveredCopy = true;
        m_autosavedRevision = m_document->revision();
        m_diskStamp = DiskStamp::of(entry.originalPath);
        m_reloadDeclined = {};
        if (!entry.originalPath.isEmpty())
            m_inUse.take(entry.originalPath);
        showStatus(QStringLiteral("已恢复自动保存的下料单，尚未保存"));
        return;
    }
}

void ScheduleWindow::closeEvent(QCloseEvent* event) {
    if (!settleUnsaved()) {
        event->ignore();
        return;
    }
    m_planView->stopAndWait();
    const bool letGo = m_document->isModified();
    letGoOfAutosave();
    m_inUse.release();
    // Changes let go are gone: the window opens again on a list as saved.
    if (letGo)
        m_document->replace(freshList(), {}, false);
    if (m_help)
        m_help->close();
    event->accept();
}

bool ScheduleWindow::event(QEvent* event) {
    // After the events of coming back to the window, not in the middle of them.
    if (event->type() == QEvent::WindowActivate)
        QTimer::singleShot(0, this, [this] { checkFileOnDisk(); });
    return QMainWindow::event(event);
}

void ScheduleWindow::checkFileOnDisk() {
    const QString path = m_document->filePath();
    if (m_checkingDisk || path.isEmpty() || m_document->isModified() || !m_diskStamp.exists ||
        !m_diskStamp.changed(path, true))
        return;
    const DiskStamp now = DiskStamp::of(path);
    // A file gone has nothing to read again; the list is saved anew on 保存.
    if (!now.exists || now == m_reloadDeclined)
        return;
    m_checkingDisk = true;
    const int answer =
        feedback::ask(this,
                      QStringLiteral("“%1”已被其他窗口或程序修改。\n"
                                     "此窗口中的下料单没有未保存的修改，是否重新载入？")
                          .arg(nativePath(path)),
                      {QStringLiteral("重新载入"), QStringLiteral("不载入")}, 1);
    if (answer == 0)
        loadFile(path);
    else
        m_reloadDeclined = now;
    m_checkingDisk = false;
}
