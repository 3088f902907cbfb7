#include "folder_list.hpp"

#include <QHeaderView>
#include <QStyle>
#include <QTreeWidgetItemIterator>
#include <algorithm>
#include <iterator>

#include "messages.hpp"
#include "native_text.hpp"
#include "paths.hpp"
#include "strings.hpp"
#include "system.hpp"

namespace scene {

namespace {
constexpr int kPathRole = Qt::UserRole;
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
            this, [this, path] { RunReported(sink_, [&] { SetPath(path); }); },
            Qt::QueuedConnection);
    });
    RunReported(sink_, [&] { SetPath(platform::CurrentFolder()); });
}

void FolderList::SetPath(const std::string& path) {
    const std::string folder = NormalFolder(path);
    std::vector<std::string> subfolders = ListFolderNames(platform::SystemFileSystem(), folder);
    // Hidden folders stay hidden, as in the system's own file windows.
    std::erase_if(subfolders, [](const std::string& name) { return name.front() == '.'; });
    std::sort(subfolders.begin(), subfolders.end(), LessIgnoringCase);

    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QTreeWidgetItem* parentItem = nullptr;
    for (const std::string& step : FolderChain(folder)) {
        std::string name = parentItem ? NameOf(step) : step;
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
        item->setData(0, kPathRole, QByteArray::fromStdString(SubfolderPath(folder, name)));
    }
    expandAll();
    setCurrentItem(parentItem);

    if (folder == path_) return;
    path_ = folder;
    emit Change();
}

void FolderList::Reload() {
    QTreeWidgetItem* highlighted = currentItem();
    const QByteArray kept =
        highlighted ? highlighted->data(0, kPathRole).toByteArray() : QByteArray();
    const std::vector<std::string> chain = FolderChain(path_);
    for (auto step = chain.rbegin(); step != chain.rend(); ++step) {
        try {
            SetPath(*step);
            break;
        } catch (const Failure&) {
            if (std::next(step) == chain.rend()) throw;
        }
    }
    for (QTreeWidgetItemIterator item(this); *item; ++item)
        if ((*item)->data(0, kPathRole).toByteArray() == kept) setCurrentItem(*item);
}

}  // namespace scene
