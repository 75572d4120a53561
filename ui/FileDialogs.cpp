#include "ui/FileDialogs.h"

#include "picture/FileFormats.h"
#include "ui/PicturePreview.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>
#include <QUrl>

namespace {

QList<TFileFilter> FileFilters(const std::vector<TDialogFilter>& filters)
{
    QList<TFileFilter> list;
    for (const TDialogFilter& filter : filters) {
        QStringList patterns;
        for (const std::string& pattern : filter.Patterns)
            patterns << QString::fromStdString(pattern);
        list.push_back({QString::fromStdString(filter.Text), patterns});
    }
    return list;
}

} // namespace

QList<TFileFilter> OpenFileFilters() { return FileFilters(OpenDialogFilters()); }
QList<TFileFilter> SaveFileFilters() { return FileFilters(SaveDialogFilters()); }

QString NameFilterString(const TFileFilter& filter) { return filter.Text + " (" + filter.Patterns.join(' ') + ")"; }

int ChosenFilterIndex(const QList<TFileFilter>& filters, const QString& selected)
{
    // With the patterns hidden the toolkit may hand back either the whole
    // filter string or only its text, depending on its version.
    for (int i = 0; i < filters.size(); ++i)
        if (selected == NameFilterString(filters[i]) || selected == filters[i].Text)
            return i + 1;
    return 0;
}

namespace {

const QScreen* ParentScreen(const QFileDialog& dialog)
{
    const QWidget* parent = dialog.parentWidget();
    return parent ? parent->screen() : QGuiApplication::primaryScreen();
}

} // namespace

void SetUpFileDialog(QFileDialog& dialog, const TFileRequest& request)
{
    // The toolkit's own dialog: the desktop's dialogs take no preview, and
    // this one lists the filter texts exactly as given.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setWindowTitle(request.Caption);
    QStringList filters;
    for (const TFileFilter& filter : request.Filters)
        filters << NameFilterString(filter);
    dialog.setNameFilters(filters);
    if (request.FilterIndex >= 1 && request.FilterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.FilterIndex - 1]);
    if (!request.Directory.isEmpty())
        dialog.setDirectory(request.Directory);
    if (!request.FileName.isEmpty())
        dialog.selectFile(request.FileName);
    if (!request.Places.isEmpty()) {
        QList<QUrl> places = dialog.sidebarUrls();
        for (const QString& place : request.Places)
            if (!places.contains(QUrl::fromLocalFile(place)))
                places << QUrl::fromLocalFile(place);
        dialog.setSidebarUrls(places);
    }
    // The names take the room the list has; the other columns what they need.
    if (auto* details = dialog.findChild<QTreeView*>("treeView")) {
        QHeaderView* header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    // Room for a folder of photos and, when opening, the preview.
    QSize size(980, 600);
    if (const QScreen* screen = ParentScreen(dialog))
        size = size.boundedTo(screen->availableSize() * 9 / 10);
    dialog.resize(size);
}

namespace {

std::optional<TFileChoice> Run(QFileDialog& dialog, const TFileRequest& request)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return TFileChoice{dialog.selectedFiles().first(), ChosenFilterIndex(request.Filters, dialog.selectedNameFilter())};
}

} // namespace

std::optional<TFileChoice> RunOpenDialog(QWidget* parent, const TFileRequest& request)
{
    QFileDialog dialog(parent);
    dialog.setObjectName("OpenDialog");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    SetUpFileDialog(dialog, request);

    // The preview takes the column right of the file list.
    auto* preview = new TPicturePreview(&dialog);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(preview, 1, grid->columnCount(), 1, 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, &TPicturePreview::ShowFileSoon);
    return Run(dialog, request);
}

std::optional<TFileChoice> RunSaveDialog(QWidget* parent, const TFileRequest& request)
{
    QFileDialog dialog(parent);
    dialog.setObjectName("SaveDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    SetUpFileDialog(dialog, request);
    return Run(dialog, request);
}

QStringList RunOpenFilesDialog(QWidget* parent, const TFileRequest& request)
{
    QFileDialog dialog(parent);
    dialog.setObjectName("OpenFilesDialog");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    SetUpFileDialog(dialog, request);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

QString RunFolderDialog(QWidget* parent, const TFileRequest& request)
{
    QFileDialog dialog(parent);
    dialog.setObjectName("FolderDialog");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    SetUpFileDialog(dialog, request);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}
