#include "list_module/cutting_list_module.h"

#include "list_module/beam_command.h"
#include "list_module/column_command.h"
#include "list_module/cut_command.h"
#include "list_module/list_command.h"
#include "list_module/shop_commands.h"
#include "list_module/tags_command.h"
#include "ui/schedule/schedule_window.h"

namespace {

class CuttingListModule final : public ListModule {
public:
    const cli::ListCommands& commands() const override { return m_commands; }

    QMainWindow* newWindow(BarQuantitySource source) const override {
        auto* window = new ScheduleWindow;
        window->setBarQuantitySource(std::move(source));
        return window;
    }

    void offerRecovery(QMainWindow* window) const override {
        static_cast<ScheduleWindow*>(window)->offerRecovery();
    }

    bool openFile(QMainWindow* window, const QString& path) const override {
        return static_cast<ScheduleWindow*>(window)->openFile(path);
    }

private:
    cli::ListCommands m_commands{&cli::runList,      &cli::runCut,  &cli::answerBeam,
                                 &cli::answerColumn, &cli::runBvbs, &cli::runCuttingSheet,
                                 &cli::runTags};
};

} // namespace

const ListModule& cuttingListModule() {
    static const CuttingListModule module;
    return module;
}

extern "C" Q_DECL_EXPORT const ListModule* corvalaListModule() {
    return &cuttingListModule();
}
