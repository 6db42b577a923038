#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

#include "app/tool_dialog_rules.h"
#include "app/tool_record.h"
#include "app/tool_search.h"

class HelpViewer;
class Launcher;
class Prompter;
class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class ToolSearchJob;

// The two tool dialogs over a copy of one tool list: "Search for tools" (mode search: the
// built-in tools, found by walking the disk in the background) and "Add user tools" (mode
// user: programs added by hand). "Save" replaces the list only when it changed, then closes.
class ToolListDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Search, User };

    struct FileInput {
        QString text;
        bool http = false;
    };
    // The file-input dialog; none when cancelled. Tests replace it.
    using FileInputAsker =
        std::function<std::optional<FileInput>(FileInputMode mode, const FileInput& shown)>;

    ToolListDialog(std::vector<ToolRecord>& stored, Mode mode, Launcher& launcher,
                   Prompter& prompter, HelpViewer& help, QWidget* parent = nullptr);
    ~ToolListDialog() override;

    void setFileInputAsker(FileInputAsker asker) { askFile_ = std::move(asker); }
    void setSearchRoots(ToolSearchRoots roots) { roots_ = std::move(roots); }

    // Buttons and row menu.
    void search();
    void stopSearch();
    bool searching() const;
    void save();
    void addTool();
    void deleteRow(int row);
    void renameRow(int row);  // starts editing the name in place
    void launchOnly(int row);
    void executeFile(int row);
    void editRow(int row);

    const std::vector<ToolRecord>& rows() const { return rows_; }
    QTableWidget* table() const { return table_; }
    QLabel* note() const { return note_; }
    QLabel* status() const { return status_; }
    QPushButton* searchButton() const { return search_; }
    QPushButton* stopButton() const { return stop_; }

protected:
    void done(int result) override;

private:
    std::optional<FileInput> askFileWithDialog(FileInputMode mode, const FileInput& shown);
    void fillTable();
    void showRow(int row);
    void nameEdited(QTableWidgetItem* item);
    void showRowMenu(const QPoint& pos);
    void searchFinished(bool stopped);

    std::vector<ToolRecord>& stored_;
    const Mode mode_;
    Launcher& launcher_;
    Prompter& prompter_;
    std::vector<ToolRecord> rows_;
    FileInputAsker askFile_;
    ToolSearchRoots roots_;
    ToolSearchJob* job_;
    QLabel* note_;
    QTableWidget* table_;
    QLabel* status_;
    QPushButton* search_ = nullptr;
    QPushButton* stop_ = nullptr;
    bool filling_ = false;
};
