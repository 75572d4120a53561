#include "ui/FrmToolOption.h"

#include "tools/ToolCodes.h"
#include "ui/SpinEdit.h"
#include "ui/TrackSpin.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <QSignalBlocker>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <vector>

namespace {

constexpr int ColorSampleSide = 90;

struct TPageRow {
    TOptionPage Page;
    const char* Name;
    const char* Caption;
};

// In the order the pages are stacked.
constexpr TPageRow PageRows[] = {
    {TOptionPage::Normal, "TsNormal", "Info"},
    {TOptionPage::Dropper, "TsDropper", "Color Dropper"},
    {TOptionPage::Pencil, "TsPencil", "Pencil"},
    {TOptionPage::Brush, "TsBrush", "Brush"},
    {TOptionPage::Eraser, "TsEraser", "Eraser"},
    {TOptionPage::PaintBucket, "TsPaintBucket", "Paint Bucket"},
    {TOptionPage::Lighten, "TsLightenTool", "Lighten Tool"},
    {TOptionPage::Darken, "TsDarkenTool", "Darken Tool"},
    {TOptionPage::Rectangle, "TsRectangle", "Rectangle"},
    {TOptionPage::Ellipse, "TsEllipse", "Ellipse"},
    {TOptionPage::Text, "TsText", "Text"},
    {TOptionPage::Balloon, "TsBalloonA", "Text Balloon"},
};

// The pages of the placed objects: the prefix of their controls' names, and
// whether the object has a frame whose width the page sets.
struct TObjectPageRow {
    TOptionPage Page;
    const char* Prefix;
    bool Framed;
};

constexpr TObjectPageRow ObjectPageRows[] = {
    {TOptionPage::Rectangle, "Rect", true},
    {TOptionPage::Ellipse, "Ellipse", true},
    {TOptionPage::Text, "Text", false},
    {TOptionPage::Balloon, "Balloon", true},
};

const TObjectPageRow* FindObjectPage(TOptionPage page)
{
    for (const TObjectPageRow& row : ObjectPageRows)
        if (row.Page == page)
            return &row;
    return nullptr;
}

QGridLayout* Grid(QWidget* page) { return static_cast<QGridLayout*>(page->layout()); }

int NextRow(QWidget* page) { return Grid(page)->rowCount(); }

QToolButton* StyleToggle(QWidget* parent, const QString& name, const QString& letter, const QString& tip,
                         void (QFont::*apply)(bool))
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(letter);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setCheckable(true);
    button->setAutoRaise(true);
    QFont font = button->font();
    (font.*apply)(true);
    button->setFont(font);
    return button;
}

QToolButton* ActionButton(QWidget* parent, const QString& name, QStyle::StandardPixmap pixmap, const QString& tip)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(pixmap, nullptr, parent));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setAutoRaise(true);
    return button;
}

QLabel* Reading(QWidget* parent, const QString& name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

void FillSample(QFrame* sample, QColor color)
{
    QPalette palette = sample->palette();
    palette.setColor(QPalette::Window, color);
    sample->setPalette(palette);
}

} // namespace

TFrmToolOption::TFrmToolOption(QWidget* owner)
    : TPanelWindow(tr("Tool Option"), owner)
{
    setObjectName("FrmToolOption");

    FontFamilies = QFontDatabase::families();
    std::sort(FontFamilies.begin(), FontFamilies.end(),
              [](const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive) < 0; });
    // The face the panel's own text is drawn with, as the font system
    // resolved it, so that it is a name the list holds.
    PanelFontFamily = QFontInfo(font()).family();

    Pages = new QStackedWidget(this);
    Pages->setObjectName("Pages");
    NoPage = new QWidget(Pages);
    NoPage->setObjectName("NoPage");
    Pages->addWidget(NoPage);

    for (const TPageRow& row : PageRows) {
        QWidget* page = AddPage(row.Name, tr(row.Caption));
        PageWidgets[row.Page] = page;
        if (row.Page == TOptionPage::Normal)
            BuildInfoPage(page);
        if (row.Page == TOptionPage::Dropper)
            BuildDropperPage(page);
        for (std::size_t i = 0; i < ToolSettingTable.size(); ++i)
            if (ToolSettingTable[i].Page == row.Page)
                AddPair(page, i);
        if (const TObjectPageRow* object = FindObjectPage(row.Page))
            ObjectPages[row.Page] = AddObjectControls(page, row.Page, object->Prefix, object->Framed);
        else
            Grid(page)->setRowStretch(NextRow(page), 1);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(Pages);

    Pages->setCurrentWidget(PageWidgets.at(TOptionPage::Normal));
    // Tall enough for a few lines more than the memos' minimum.
    resize(std::max(ColumnWidth(this), minimumSizeHint().width()),
           minimumSizeHint().height() + fontMetrics().lineSpacing() * 3);
}

QWidget* TFrmToolOption::AddPage(const char* name, const QString& caption)
{
    auto* page = new QWidget(Pages);
    page->setObjectName(name);
    page->setWindowTitle(caption);
    page->setAccessibleName(caption);
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setColumnStretch(1, 1);
    auto* title = new QLabel(caption, page);
    title->setObjectName(QStringLiteral("Caption"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    grid->addWidget(title, 0, 0, 1, 3);
    Pages->addWidget(page);
    return page;
}

void TFrmToolOption::AddPair(QWidget* page, std::size_t row)
{
    const TToolSetting& setting = ToolSettingTable[row];
    const QString name = setting.Name;
    auto* pair = new TTrackSpin(setting.Min, setting.Max, setting.Default, page, tr(setting.Caption));
    pair->setObjectName(name);
    pair->Trc()->setObjectName("Trc" + name);
    pair->Spn()->setObjectName("Spn" + name);
    pair->SetSpinRange(setting.Min, setting.SpinMax);
    pair->Spn()->SetValue(setting.SpinShown);
    pair->AddToGrid(Grid(page), NextRow(page));
    if (setting.ShowsInOutline) {
        // The first change of each setting is always handled.
        pair->ResetHandled();
        connect(pair, &TTrackSpin::Changed, this, &TFrmToolOption::ToolPreviewRefreshRequested);
    }
    Pairs[row] = pair;
}

void TFrmToolOption::BuildInfoPage(QWidget* page)
{
    LabInfoX = Reading(page, "LabInfoX", tr("X:"));
    LabInfoY = Reading(page, "LabInfoY", tr("Y:"));
    Grid(page)->addWidget(LabInfoX, NextRow(page), 0, 1, 3);
    Grid(page)->addWidget(LabInfoY, NextRow(page), 0, 1, 3);
}

void TFrmToolOption::BuildDropperPage(QWidget* page)
{
    LabDropperX = Reading(page, "LabDropperX", tr("X:"));
    LabDropperY = Reading(page, "LabDropperY", tr("Y:"));
    LabDropperR = Reading(page, "LabDropperR", tr("R:"));
    LabDropperG = Reading(page, "LabDropperG", tr("G:"));
    LabDropperB = Reading(page, "LabDropperB", tr("B:"));
    ShpColor = new QFrame(page);
    ShpColor->setObjectName("ShpColor");
    ShpColor->setFrameStyle(QFrame::Box | QFrame::Plain);
    ShpColor->setFixedSize(ColorSampleSide, ColorSampleSide);
    ShpColor->setAutoFillBackground(true);
    FillSample(ShpColor, Qt::white);
    auto* readings = new QVBoxLayout;
    for (QLabel* label : {LabDropperX, LabDropperY, LabDropperR, LabDropperG, LabDropperB})
        readings->addWidget(label);
    readings->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addLayout(readings, 1);
    row->addWidget(ShpColor, 0, Qt::AlignTop);
    Grid(page)->addLayout(row, NextRow(page), 0, 1, 3);
}

TFrmToolOption::TObjectControls TFrmToolOption::AddObjectControls(QWidget* page, TOptionPage kind,
                                                                  const QString& prefix, bool withBorder)
{
    TObjectControls c;
    QGridLayout* grid = Grid(page);
    if (withBorder) {
        auto* label = new QLabel(tr(BorderWidthSetting.Caption), page);
        c.BorderWidth = new QSpinBox(page);
        c.BorderWidth->setObjectName("Spn" + prefix + BorderWidthSetting.Name);
        c.BorderWidth->setRange(BorderWidthSetting.Min, BorderWidthSetting.Max);
        c.BorderWidth->setValue(BorderWidthSetting.Default);
        label->setBuddy(c.BorderWidth);
        const int row = NextRow(page);
        grid->addWidget(label, row, 0);
        grid->addWidget(c.BorderWidth, row, 1, Qt::AlignLeft);
    }

    c.FontName = new QComboBox(page);
    c.FontName->setObjectName("Cmb" + prefix + "FontName");
    c.FontName->setEditable(false);
    c.FontName->setMaxVisibleItems(10);
    c.FontName->setToolTip(tr("Font Name"));
    c.FontName->setStatusTip(tr("Select font name"));
    c.FontName->setAccessibleName(tr("Font Name"));
    c.FontName->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c.FontName->setMinimumContentsLength(8);
    c.FontName->addItems(FontFamilies);
    c.FontName->setCurrentIndex(FontFamilies.indexOf(PanelFontFamily));
    c.FontSize = new QSpinBox(page);
    c.FontSize->setObjectName("Spn" + prefix + FontSizeSetting.Name);
    c.FontSize->setRange(FontSizeSetting.Min, FontSizeSetting.Max);
    c.FontSize->setValue(FontSizeSetting.Default);
    c.FontSize->setToolTip(tr(FontSizeSetting.Caption));
    c.FontSize->setAccessibleName(tr(FontSizeSetting.Caption));
    const int fontRow = NextRow(page);
    grid->addWidget(c.FontName, fontRow, 0, 1, 2);
    grid->addWidget(c.FontSize, fontRow, 2);

    c.Bold = StyleToggle(page, "Btn" + prefix + "Bold", tr("B"), tr("Bold"), &QFont::setBold);
    c.Italic = StyleToggle(page, "Btn" + prefix + "Italic", tr("I"), tr("Italic"), &QFont::setItalic);
    c.Underline = StyleToggle(page, "Btn" + prefix + "Underline", tr("U"), tr("Underline"), &QFont::setUnderline);
    c.Cancel = ActionButton(page, "Btn" + prefix + "Cancel", QStyle::SP_DialogCancelButton, tr("Cancel"));
    c.Commit = ActionButton(page, "Btn" + prefix + "Commit", QStyle::SP_DialogApplyButton, tr("Commit"));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    for (QToolButton* b : {c.Bold, c.Italic, c.Underline})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(c.Cancel);
    buttons->addWidget(c.Commit);
    grid->addLayout(buttons, NextRow(page), 0, 1, 3);
    AddLetteringControls(page, kind, prefix, c);

    c.Text = new QPlainTextEdit(page);
    c.Text->setObjectName("Mem" + prefix + "Text");
    c.Text->setLineWrapMode(QPlainTextEdit::NoWrap);
    c.Text->setAccessibleName(tr("Text"));
    c.Text->setTabChangesFocus(true);
    // Room for four lines; the memo grows with the panel.
    c.Text->setMinimumHeight(c.Text->fontMetrics().lineSpacing() * 4 + 2 * c.Text->frameWidth() + 8);
    const int memoRow = NextRow(page);
    grid->addWidget(c.Text, memoRow, 0, 1, 3);
    grid->setRowStretch(memoRow, 1);

    c.TextCut = new QLabel(tr("The text does not fit: part of it is cut."), page);
    c.TextCut->setObjectName("Lab" + prefix + "TextCut");
    c.TextCut->setWordWrap(true);
    c.TextCut->hide();
    grid->addWidget(c.TextCut, NextRow(page), 0, 1, 3);

    const auto refresh = [this] { emit ToolPreviewRefreshRequested(); };
    if (c.BorderWidth)
        connect(c.BorderWidth, &QSpinBox::valueChanged, this, refresh);
    connect(c.FontName, &QComboBox::currentIndexChanged, this, refresh);
    connect(c.FontSize, &QSpinBox::valueChanged, this, refresh);
    for (QToolButton* b : {c.Bold, c.Italic, c.Underline})
        connect(b, &QToolButton::toggled, this, refresh);
    connect(c.Text, &QPlainTextEdit::textChanged, this, refresh);
    for (QCheckBox* option : c.Options)
        if (option)
            connect(option, &QCheckBox::toggled, this, [this, option, refresh] {
                ChangedByTool.remove(option);
                refresh();
            });
    for (QComboBox* choice : c.Choices)
        if (choice)
            connect(choice, &QComboBox::currentIndexChanged, this, refresh);
    connect(c.Commit, &QToolButton::clicked, this, &TFrmToolOption::CommitRequested);
    connect(c.Cancel, &QToolButton::clicked, this, &TFrmToolOption::CancelRequested);
    return c;
}

void TFrmToolOption::AddLetteringControls(QWidget* page, TOptionPage kind, const QString& prefix, TObjectControls& c)
{
    QGridLayout* grid = Grid(page);
    // Two check boxes a row, so that the narrow panel holds them.
    auto* options = new QGridLayout;
    options->setContentsMargins(0, 0, 0, 0);
    int shown = 0;
    for (std::size_t i = 0; i < ObjectOptionTable.size(); ++i) {
        const TObjectOption& row = ObjectOptionTable[i];
        if (!(row.Pages & PageBit(kind)))
            continue;
        auto* box = new QCheckBox(tr(row.Caption), page);
        box->setObjectName("Chk" + prefix + row.Name);
        box->setChecked(row.Start);
        options->addWidget(box, shown / 2, shown % 2);
        c.Options[i] = box;
        ++shown;
    }
    grid->addLayout(options, NextRow(page), 0, 1, 3);
    for (std::size_t i = 0; i < ObjectChoiceTable.size(); ++i) {
        const TObjectChoice& row = ObjectChoiceTable[i];
        if (!(row.Pages & PageBit(kind)))
            continue;
        auto* label = new QLabel(tr(row.Caption), page);
        auto* box = new QComboBox(page);
        box->setObjectName("Cmb" + prefix + row.Name);
        for (const char* item : row.Items)
            box->addItem(tr(item));
        box->setCurrentIndex(int(row.Start));
        label->setBuddy(box);
        const int line = NextRow(page);
        grid->addWidget(label, line, 0);
        grid->addWidget(box, line, 1, 1, 2, Qt::AlignLeft);
        c.Choices[i] = box;
    }
}

void TFrmToolOption::ShowPage(TToolCode code)
{
    const TToolInfo* info = FindTool(code);
    Pages->setCurrentWidget(info ? PageWidgets.at(info->Page) : NoPage);
}

QWidget* TFrmToolOption::CurrentPage() const
{
    QWidget* page = Pages->currentWidget();
    return page == NoPage ? nullptr : page;
}

QString TFrmToolOption::PageCaption(const QWidget* page) { return page ? page->windowTitle() : QString(); }

TToolSettings TFrmToolOption::Settings() const
{
    TToolSettings settings;
    for (std::size_t i = 0; i < ToolSettingTable.size(); ++i)
        settings.*ToolSettingTable[i].Field = Pairs[i]->Value();
    return settings;
}

TObjectSettings TFrmToolOption::ObjectSettings(TToolCode code) const
{
    TObjectSettings settings;
    const TToolInfo* info = FindTool(code);
    const auto found = info ? ObjectPages.find(info->Page) : ObjectPages.end();
    if (found == ObjectPages.end())
        return settings;
    const TObjectControls& c = found->second;
    if (c.BorderWidth)
        settings.BorderWidth = c.BorderWidth->value();
    settings.FontName = c.FontName->currentText().toStdString();
    // A size box cleared while typing keeps the size last drawn with.
    settings.FontSize = c.FontSize->cleanText().trimmed().isEmpty() ? 0 : c.FontSize->value();
    settings.Bold = c.Bold->isChecked();
    settings.Italic = c.Italic->isChecked();
    settings.Underline = c.Underline->isChecked();
    const QString text = c.Text->toPlainText();
    if (!text.isEmpty())
        for (const QString& line : text.split(QLatin1Char('\n')))
            settings.Lines.push_back(line.toStdString());
    for (std::size_t i = 0; i < ObjectOptionTable.size(); ++i)
        if (c.Options[i])
            settings.*ObjectOptionTable[i].Field = c.Options[i]->isChecked();
    for (std::size_t i = 0; i < ObjectChoiceTable.size(); ++i)
        if (c.Choices[i])
            settings.*ObjectChoiceTable[i].Field = TTextAlign(std::max(0, c.Choices[i]->currentIndex()));
    return settings;
}

void TFrmToolOption::SetObjectSettings(TToolCode code, const TObjectSettings& settings)
{
    const TToolInfo* info = FindTool(code);
    const auto found = info ? ObjectPages.find(info->Page) : ObjectPages.end();
    if (found == ObjectPages.end())
        return;
    const TObjectControls& c = found->second;
    // Shown, not chosen: nothing is drawn again.
    std::vector<std::unique_ptr<QSignalBlocker>> quiet;
    for (QObject* control :
         std::initializer_list<QObject*>{c.BorderWidth, c.FontName, c.FontSize, c.Bold, c.Italic, c.Underline, c.Text})
        if (control)
            quiet.push_back(std::make_unique<QSignalBlocker>(control));
    for (QObject* control : c.Options)
        if (control)
            quiet.push_back(std::make_unique<QSignalBlocker>(control));
    for (QObject* control : c.Choices)
        if (control)
            quiet.push_back(std::make_unique<QSignalBlocker>(control));

    if (c.BorderWidth)
        c.BorderWidth->setValue(settings.BorderWidth);
    c.FontName->setCurrentIndex(c.FontName->findText(QString::fromStdString(settings.FontName)));
    if (settings.FontSize > 0)
        c.FontSize->setValue(settings.FontSize);
    c.Bold->setChecked(settings.Bold);
    c.Italic->setChecked(settings.Italic);
    c.Underline->setChecked(settings.Underline);
    QStringList lines;
    for (const std::string& line : settings.Lines)
        lines << QString::fromStdString(line);
    c.Text->setPlainText(lines.join(QLatin1Char('\n')));
    for (std::size_t i = 0; i < ObjectOptionTable.size(); ++i)
        if (c.Options[i] && c.Options[i]->isChecked() != settings.*ObjectOptionTable[i].Field) {
            c.Options[i]->setChecked(settings.*ObjectOptionTable[i].Field);
            ChangedByTool.insert(c.Options[i]);
        }
    for (std::size_t i = 0; i < ObjectChoiceTable.size(); ++i)
        if (c.Choices[i])
            c.Choices[i]->setCurrentIndex(int(settings.*ObjectChoiceTable[i].Field));
}

void TFrmToolOption::StartObject(TToolCode code)
{
    const TToolInfo* info = FindTool(code);
    const auto found = info ? ObjectPages.find(info->Page) : ObjectPages.end();
    if (found == ObjectPages.end())
        return;
    for (std::size_t i = 0; i < ObjectOptionTable.size(); ++i) {
        QCheckBox* option = found->second.Options[i];
        if (option && ChangedByTool.remove(option)) {
            const QSignalBlocker quiet(option);
            option->setChecked(ObjectOptionTable[i].Start);
        }
    }
}

void TFrmToolOption::SetTextCut(bool cut)
{
    for (const auto& [page, controls] : ObjectPages)
        controls.TextCut->setVisible(cut);
}

void TFrmToolOption::SetPointerInfo(int x, int y)
{
    LabInfoX->setText(tr("X: %1").arg(x));
    LabInfoY->setText(tr("Y: %1").arg(y));
}

void TFrmToolOption::SetDropperReading(int x, int y, QColor color)
{
    color = color.toRgb();
    LabDropperX->setText(tr("X: %1").arg(x));
    LabDropperY->setText(tr("Y: %1").arg(y));
    LabDropperR->setText(tr("R: %1").arg(color.red()));
    LabDropperG->setText(tr("G: %1").arg(color.green()));
    LabDropperB->setText(tr("B: %1").arg(color.blue()));
    FillSample(ShpColor, color);
}
