#include "ui/FrmBatch.h"

#include "picture/FileFormats.h"
#include "settings/ProgramDir.h"
#include "ui/PresetFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace {

struct TPresetEntry {
    QString Label;
    QString Path;
};

QString Shipped(const char* name) { return QString::fromStdString(ProgramFile(name)); }

// The shipped presets, the preview's last settings and the user's own files,
// by name.
QList<TPresetEntry> PresetEntries()
{
    QList<TPresetEntry> entries = {
        {QStringLiteral("Cartoon"), Shipped(CartoonSetName)},
        {QStringLiteral("Sketch"), Shipped(SketchSetName)},
        {QStringLiteral("Line Drawing"), Shipped(LineDrawingSetName)},
        {QStringLiteral("Canvas"), Shipped(CanvasSetName)},
        {QStringLiteral("Default"), Shipped(DefaultSetName)},
    };
    const QString last = QString::fromStdString(UserPresetFile(LastSetName));
    if (QFileInfo::exists(last))
        entries.push_back({QStringLiteral("The preview's last settings"), last});
    const QDir own(QString::fromStdString(UserPresetsDir()));
    for (const QFileInfo& file : own.entryInfoList({QStringLiteral("*.set")}, QDir::Files, QDir::Name)) {
        const QString path = file.absoluteFilePath();
        const bool listed = std::any_of(entries.begin(), entries.end(), [&](const TPresetEntry& e) {
            return QFileInfo(e.Path).absoluteFilePath() == path;
        });
        if (!listed)
            entries.push_back({file.completeBaseName(), path});
    }
    return entries;
}

QString LocalPath(const QString& path) { return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()); }

} // namespace

TFrmBatch::TFrmBatch(const TBatchChoice& initial, QWidget* parent)
    : QDialog(parent)
{
    setObjectName("Frm_Batch");
    setWindowTitle(tr("Batch"));
    setModal(true);

    auto* inputs = new QGroupBox(tr("Photos"), this);
    Lst_Inputs = new QListWidget(inputs);
    Lst_Inputs->setObjectName("Lst_Inputs");
    Lst_Inputs->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Lst_Inputs->addItems(initial.Inputs);
    BtnAddPhotos = new QPushButton(tr("Add &Photos..."), inputs);
    BtnAddPhotos->setObjectName("BtnAddPhotos");
    BtnAddFolder = new QPushButton(tr("Add &Folder..."), inputs);
    BtnAddFolder->setObjectName("BtnAddFolder");
    BtnRemove = new QPushButton(tr("&Remove"), inputs);
    BtnRemove->setObjectName("BtnRemove");
    Chk_Recurse = new QCheckBox(tr("Include the folders' s&ubfolders"), inputs);
    Chk_Recurse->setObjectName("Chk_Recurse");
    Chk_Recurse->setChecked(initial.Settings.Recurse);
    auto* inputButtons = new QVBoxLayout;
    inputButtons->addWidget(BtnAddPhotos);
    inputButtons->addWidget(BtnAddFolder);
    inputButtons->addWidget(BtnRemove);
    inputButtons->addStretch(1);
    auto* inputRow = new QHBoxLayout;
    inputRow->addWidget(Lst_Inputs, 1);
    inputRow->addLayout(inputButtons);
    auto* inputLayout = new QVBoxLayout(inputs);
    inputLayout->addLayout(inputRow);
    inputLayout->addWidget(Chk_Recurse);

    Cmb_Preset = new QComboBox(this);
    Cmb_Preset->setObjectName("Cmb_Preset");
    for (const TPresetEntry& entry : PresetEntries())
        Cmb_Preset->addItem(entry.Label, entry.Path);
    Cmb_Preset->addItem(tr("Other Preset File..."));
    SelectPreset(QString::fromStdString(initial.Settings.PresetFile));
    Chk_Fit = new QCheckBox(tr("Fit the preset to each photo"), this);
    Chk_Fit->setObjectName("Chk_Fit");
    Chk_Fit->setChecked(initial.Settings.Fit);

    Edt_Output = new QLineEdit(QString::fromStdString(initial.Settings.OutputFolder), this);
    Edt_Output->setObjectName("Edt_Output");
    BtnBrowse = new QPushButton(tr("Bro&wse..."), this);
    BtnBrowse->setObjectName("BtnBrowse");
    auto* outputRow = new QHBoxLayout;
    outputRow->addWidget(Edt_Output, 1);
    outputRow->addWidget(BtnBrowse);

    // The picture kinds the save dialog offers, from the table of formats.
    Cmb_Format = new QComboBox(this);
    Cmb_Format->setObjectName("Cmb_Format");
    for (int i = 0; i < int(std::size(SaveFilterKinds)); ++i) {
        const TSaveFilter& filter = SaveFilterKinds[i];
        const TFileFormat* format = FormatOfKind(filter.Kind);
        if (!format || !format->IsPicture())
            continue;
        const std::string_view label = filter.Lossless ? format->LosslessLabel : format->FilterLabel;
        Cmb_Format->addItem(QString::fromUtf8(label.data(), int(label.size())), i);
        if (filter.Kind == initial.Settings.Format && filter.Lossless == initial.Settings.Lossless)
            Cmb_Format->setCurrentIndex(Cmb_Format->count() - 1);
    }
    Edt_Suffix = new QLineEdit(QString::fromStdString(initial.Settings.Suffix), this);
    Edt_Suffix->setObjectName("Edt_Suffix");
    Edt_Suffix->setPlaceholderText(tr("nothing: the photo's own name"));
    Chk_SkipExisting = new QCheckBox(tr("Skip photos whose output is newer than the photo and the preset"), this);
    Chk_SkipExisting->setObjectName("Chk_SkipExisting");
    Chk_SkipExisting->setChecked(initial.Settings.SkipExisting);

    auto* form = new QFormLayout;
    form->addRow(tr("Pr&eset:"), Cmb_Preset);
    form->addRow(QString(), Chk_Fit);
    // A row of two widgets gets no buddy by itself: without one the label
    // would show its ampersand.
    auto* outputLabel = new QLabel(tr("&Output folder:"), this);
    outputLabel->setBuddy(Edt_Output);
    form->addRow(outputLabel, outputRow);
    form->addRow(tr("Fo&rmat:"), Cmb_Format);
    form->addRow(tr("&Suffix:"), Edt_Suffix);
    form->addRow(QString(), Chk_SkipExisting);

    Lbl_Problem = new QLabel(this);
    Lbl_Problem->setObjectName("Lbl_Problem");
    BtnStart = new QPushButton(tr("Start"), this);
    BtnStart->setObjectName("BtnStart");
    BtnStart->setDefault(true);
    BtnCancel = new QPushButton(tr("Cancel"), this);
    BtnCancel->setObjectName("BtnCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Lbl_Problem, 1);
    buttons->addWidget(BtnStart);
    buttons->addWidget(BtnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(inputs, 1);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(640, 480);

    connect(BtnAddPhotos, &QPushButton::clicked, this, &TFrmBatch::BtnAddPhotosClick);
    connect(BtnAddFolder, &QPushButton::clicked, this, &TFrmBatch::BtnAddFolderClick);
    connect(BtnRemove, &QPushButton::clicked, this, [this] { qDeleteAll(Lst_Inputs->selectedItems()); });
    connect(BtnBrowse, &QPushButton::clicked, this, &TFrmBatch::BtnBrowseClick);
    connect(Cmb_Preset, &QComboBox::activated, this, &TFrmBatch::Cmb_PresetChange);
    connect(BtnStart, &QPushButton::clicked, this, &TFrmBatch::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &TFrmBatch::reject);
}

TBatchChoice TFrmBatch::Choice() const
{
    TBatchChoice choice;
    for (int i = 0; i < Lst_Inputs->count(); ++i)
        choice.Inputs << Lst_Inputs->item(i)->text();
    TBatchSettings& s = choice.Settings;
    s.OutputFolder = Edt_Output->text().trimmed().toStdString();
    s.Recurse = Chk_Recurse->isChecked();
    const TSaveFilter& filter = SaveFilterKinds[Cmb_Format->currentData().toInt()];
    s.Format = filter.Kind;
    s.Lossless = filter.Lossless;
    s.Suffix = Edt_Suffix->text().toStdString();
    s.PresetFile = Cmb_Preset->currentData().toString().toStdString();
    s.Fit = Chk_Fit->isChecked();
    s.SkipExisting = Chk_SkipExisting->isChecked();
    return choice;
}

void TFrmBatch::accept()
{
    const TBatchChoice choice = Choice();
    if (choice.Inputs.isEmpty())
        Lbl_Problem->setText(tr("Add photos or a folder first."));
    else if (choice.Settings.OutputFolder.empty())
        Lbl_Problem->setText(tr("Choose the folder the pictures go to."));
    else if (choice.Settings.Suffix.find('/') != std::string::npos)
        Lbl_Problem->setText(tr("The suffix cannot hold a /."));
    else
        QDialog::accept();
}

void TFrmBatch::AddInputs(const QStringList& paths)
{
    for (const QString& path : paths)
        if (Lst_Inputs->findItems(LocalPath(path), Qt::MatchExactly).isEmpty())
            Lst_Inputs->addItem(LocalPath(path));
    Lbl_Problem->clear();
}

void TFrmBatch::BtnAddPhotosClick()
{
    TFileRequest request;
    request.Caption = tr("Add Photos");
    request.Filters = OpenFileFilters();
    request.Directory = QDir::homePath();
    AddInputs(PhotosDialog(this, request));
}

void TFrmBatch::BtnAddFolderClick()
{
    TFileRequest request;
    request.Caption = tr("Add a Folder of Photos");
    request.Directory = QDir::homePath();
    const QString folder = FolderDialog(this, request);
    if (!folder.isEmpty())
        AddInputs({folder});
}

void TFrmBatch::BtnBrowseClick()
{
    TFileRequest request;
    request.Caption = tr("Output Folder");
    request.Directory = Edt_Output->text().isEmpty() ? QDir::homePath() : Edt_Output->text();
    const QString folder = FolderDialog(this, request);
    if (!folder.isEmpty()) {
        Edt_Output->setText(LocalPath(folder));
        Lbl_Problem->clear();
    }
}

void TFrmBatch::Cmb_PresetChange(int index)
{
    if (index != Cmb_Preset->count() - 1) {
        LastPreset = index;
        return;
    }
    const std::optional<QString> path = AskPresetFile(PresetDialog, this, SettingsFileKind(), tr("Open"));
    if (path)
        SelectPreset(*path);
    else
        Cmb_Preset->setCurrentIndex(LastPreset);
}

void TFrmBatch::SelectPreset(const QString& path)
{
    const QString wanted = QFileInfo(path).absoluteFilePath();
    for (int i = 0; i + 1 < Cmb_Preset->count(); ++i)
        if (QFileInfo(Cmb_Preset->itemData(i).toString()).absoluteFilePath() == wanted) {
            Cmb_Preset->setCurrentIndex(LastPreset = i);
            return;
        }
    if (path.isEmpty()) {
        Cmb_Preset->setCurrentIndex(LastPreset = 0);
        return;
    }
    // A file of its own goes before the last entry.
    const int at = Cmb_Preset->count() - 1;
    Cmb_Preset->insertItem(at, QFileInfo(path).completeBaseName(), wanted);
    Cmb_Preset->setCurrentIndex(LastPreset = at);
}

std::optional<TBatchChoice> RunBatchDialog(QWidget* parent, const TBatchChoice& initial)
{
    TFrmBatch dialog(initial, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Choice();
}
