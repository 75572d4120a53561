#include "ui/FrmAbout.h"

#include "ui/Icons.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#ifndef LQ_VERSION
#error "LQ_VERSION must come from the build"
#endif

QString ProgramVersion() { return QStringLiteral(LQ_VERSION); }

TFrmAbout::TFrmAbout(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("FrmAbout");
    setWindowTitle(tr("About Lumenquilla"));
    setModal(true);

    const QIcon icon = IconFor(TIcon::Application);
    setWindowIcon(icon);

    Img_Icon = new QLabel(this);
    Img_Icon->setObjectName("Img_Icon");
    // A pixmap for the screen's pixel ratio keeps the icon sharp on HiDPI.
    Img_Icon->setPixmap(icon.pixmap(QSize(64, 64), devicePixelRatioF()));
    Img_Icon->setAlignment(Qt::AlignTop);

    Lab_Name = new QLabel(QStringLiteral("Lumenquilla"), this);
    Lab_Name->setObjectName("Lab_Name");
    QFont nameFont = Lab_Name->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.6);
    nameFont.setBold(true);
    Lab_Name->setFont(nameFont);

    Lab_Version = new QLabel(tr("Version %1").arg(ProgramVersion()), this);
    Lab_Version->setObjectName("Lab_Version");
    Lab_Version->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Lab_Description = new QLabel(tr("Turns photos into cartoons, pencil sketches, line drawings and "
                                    "canvas-like pictures, and lets you finish them by hand."),
                                 this);
    Lab_Description->setObjectName("Lab_Description");
    Lab_Description->setWordWrap(true);
    Lab_Description->setMinimumWidth(300);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    BtnOk = buttons->button(QDialogButtonBox::Ok);
    BtnOk->setObjectName("BtnOk");
    BtnOk->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(Lab_Name);
    text->addWidget(Lab_Version);
    text->addSpacing(8);
    text->addWidget(Lab_Description);
    text->addStretch();

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(Img_Icon);
    top->addLayout(text, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
