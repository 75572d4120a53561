#include "FileDialogs.h"

#include "PicturePreview.h"

#include <QFileDialog>
#include <QGridLayout>

QString NameFilterString(const TFileFilter& filter)
{
    return filter.Text + " (" + filter.Patterns.join(' ') + ")";
}

namespace {

void SetUp(QFileDialog& dialog, const TFileRequest& request)
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
}

std::optional<TFileChoice> Run(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QStringList filters = dialog.nameFilters();
    return TFileChoice{dialog.selectedFiles().first(), int(filters.indexOf(dialog.selectedNameFilter())) + 1};
}

} // namespace

std::optional<TFileChoice> RunOpenDialog(QWidget* parent, const TFileRequest& request)
{
    QFileDialog dialog(parent);
    dialog.setObjectName("OpenDialog");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    SetUp(dialog, request);

    // The preview takes the column right of the file list.
    auto* preview = new TPicturePreview(&dialog);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(preview, 1, grid->columnCount(), 1, 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, &TPicturePreview::ShowFileSoon);
    return Run(dialog);
}

std::optional<TFileChoice> RunSaveDialog(QWidget* parent, const TFileRequest& request)
{
    QFileDialog dialog(parent);
    dialog.setObjectName("SaveDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    SetUp(dialog, request);
    return Run(dialog);
}
