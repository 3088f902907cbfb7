#include "folder_list.hpp"

#include <QHeaderView>
#include <QStyle>
#include <algorithm>
#include <filesystem>

#include "native_text.hpp"
#include "platform.hpp"
#include "run_handler.hpp"
#include "strings.hpp"

namespace fs = std::filesystem;

namespace {
constexpr int kPathRole = Qt::UserRole;
}

std::string NormalFolder(const std::string& path) {
    fs::path folder(path);
    if (folder.is_relative() && !folder.empty()) {
        std::error_code error;
        folder = fs::absolute(folder, error);
    }
    folder = folder.lexically_normal();
    if (folder.has_relative_path() && !folder.has_filename()) folder = folder.parent_path();
    return folder.string();
}

std::vector<std::string> FolderChain(const std::string& folder) {
    fs::path path(folder);
    fs::path step = path.root_path();
    std::vector<std::string> chain;
    if (!step.empty()) chain.push_back(step.string());
    for (const fs::path& part : path.relative_path()) {
        if (part.empty()) continue;
        step /= part;
        chain.push_back(step.string());
    }
    return chain;
}

FolderList::FolderList(MessageSink& sink, QWidget* parent) : QTreeWidget(parent), sink_(sink) {
    header()->hide();
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(12);
    // The list is rebuilt when a folder opens, so the opening waits until the view has
    // finished with the activated entry.
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        std::string path = item->data(0, kPathRole).toByteArray().toStdString();
        QMetaObject::invokeMethod(
            this, [this, path] { RunHandler(sink_, [&] { SetPath(path); }); },
            Qt::QueuedConnection);
    });
    std::error_code error;
    RunHandler(sink_, [&] { SetPath(fs::current_path(error).string()); });
}

void FolderList::SetPath(const std::string& path) {
    const std::string folder = NormalFolder(path);
    std::vector<std::string> subfolders = platform::ListFolderNames(folder);
    // Hidden folders stay hidden, as in the system's own file windows.
    std::erase_if(subfolders, [](const std::string& name) { return name.front() == '.'; });
    std::sort(subfolders.begin(), subfolders.end(), [](const std::string& a, const std::string& b) {
        std::string ua = UpperCase(a), ub = UpperCase(b);
        return ua != ub ? ua < ub : a < b;
    });

    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QTreeWidgetItem* parentItem = nullptr;
    for (const std::string& step : FolderChain(folder)) {
        std::string name = parentItem ? fs::path(step).filename().string() : step;
        auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(this);
        item->setText(0, ShownText(name));
        item->setIcon(0, open);
        item->setData(0, kPathRole, QByteArray::fromStdString(step));
        parentItem = item;
    }
    for (const std::string& name : subfolders) {
        auto* item = new QTreeWidgetItem(parentItem);
        item->setText(0, ShownText(name));
        item->setIcon(0, closed);
        item->setData(0, kPathRole, QByteArray::fromStdString((fs::path(folder) / name).string()));
    }
    expandAll();
    setCurrentItem(parentItem);

    if (folder == path_) return;
    path_ = folder;
    emit Change();
}
