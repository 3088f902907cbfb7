#include "file_list.hpp"

#include <QMouseEvent>
#include <algorithm>

#include "desktop_conventions.hpp"
#include "failure.hpp"
#include "native_text.hpp"
#include "paths.hpp"

namespace scene {

FileList::FileList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    UseReadableRows(*this);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (!selectedItems().isEmpty()) emit Click();
    });
}

// A click on the name that is selected already changes no selection, but is a click too
// (the file may have changed since).
void FileList::mousePressEvent(QMouseEvent* event) {
    const QList<QListWidgetItem*> before = selectedItems();
    QListWidget::mousePressEvent(event);
    QListWidgetItem* item = itemAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && item && item->isSelected() && before.contains(item))
        emit Click();
}

QItemSelectionModel::SelectionFlags FileList::selectionCommand(const QModelIndex& index,
                                                               const QEvent* event) const {
    if (!index.isValid()) return QItemSelectionModel::NoUpdate;
    QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    if (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
        return QItemSelectionModel::NoUpdate;
    return command;
}

void FileList::Load(const std::string& path, const std::string& pattern) {
    std::vector<std::string> names = ListMatchingFiles(platform::SystemFileSystem(), path, pattern);
    QSignalBlocker quiet(this);
    clear();
    for (const std::string& name : names) addItem(ShownText(name));
    names_ = std::move(names);
    path_ = path;
    pattern_ = pattern;
}

void FileList::SetPath(const std::string& path) {
    Load(path, pattern_);
}

void FileList::SetPattern(const std::string& pattern) {
    if (path_.empty()) {
        pattern_ = pattern;  // nothing is listed before a folder is set
        return;
    }
    Load(path_, pattern);
}

void FileList::Reload() {
    const std::string selected = FileName();
    Load(path_, pattern_);
    const auto kept = std::find(names_.begin(), names_.end(), selected);
    if (selected.empty() || kept == names_.end()) return;
    QSignalBlocker quiet(this);
    setCurrentRow(static_cast<int>(kept - names_.begin()));
}

std::string FileList::FileName() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? std::string() : names_[static_cast<size_t>(row(selected.front()))];
}

const std::string& FileList::List(int index) const {
    if (index < 0 || index >= ListCount()) throw Failure(FailureKind::OutOfRange);
    return names_[static_cast<size_t>(index)];
}

}  // namespace scene
