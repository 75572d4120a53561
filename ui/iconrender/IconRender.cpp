// Build-time helper: renders the SVG artwork to PNG files, for the icon
// themes of the desktop and for looking at the whole set at once.
//   lq_iconrender png SVG SIZE OUT.png
//   lq_iconrender sheet OUT.png SVG...   (every file at 16, 24, 32 and 48 px,
//                                         on a light and on a dark face)
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

#include <cstdio>

namespace {

QImage Render(const QString& file, int size)
{
    QSvgRenderer renderer(file);
    if (!renderer.isValid())
        return {};
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

int RenderPng(const QString& svg, int size, const QString& out)
{
    const QImage image = Render(svg, size);
    if (image.isNull() || !image.save(out, "PNG")) {
        std::fprintf(stderr, "cannot render %s to %s\n", qPrintable(svg), qPrintable(out));
        return 1;
    }
    return 0;
}

int RenderSheet(const QString& out, const QStringList& files)
{
    const int sizes[] = {16, 24, 32, 48};
    const int cell = 64;
    const int labelHeight = 14;
    const QColor faces[] = {QColor(0xf6, 0xf6, 0xf6), QColor(0x2a, 0x2e, 0x32)};
    const int rowsPerFace = 4;
    QImage sheet(cell * files.size(), (cell + 0) * rowsPerFace * 2 + labelHeight, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (int f = 0; f < 2; ++f) {
        const int top = f * rowsPerFace * cell;
        painter.fillRect(0, top, sheet.width(), rowsPerFace * cell, faces[f]);
        for (int r = 0; r < rowsPerFace; ++r)
            for (int i = 0; i < files.size(); ++i) {
                const int size = sizes[r];
                const QImage image = Render(files[i], size);
                if (image.isNull()) {
                    std::fprintf(stderr, "cannot render %s\n", qPrintable(files[i]));
                    return 1;
                }
                painter.drawImage(i * cell + (cell - size) / 2, top + r * cell + (cell - size) / 2, image);
            }
    }
    QFont font = painter.font();
    font.setPixelSize(9);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (int i = 0; i < files.size(); ++i)
        painter.drawText(QRect(i * cell, rowsPerFace * 2 * cell, cell, labelHeight), Qt::AlignCenter,
                         QFileInfo(files[i]).baseName());
    painter.end();
    return sheet.save(out, "PNG") ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == "png")
        return RenderPng(args[2], args[3].toInt(), args[4]);
    if (args.size() >= 4 && args[1] == "sheet")
        return RenderSheet(args[2], args.mid(3));
    std::fprintf(stderr, "usage: %s png SVG SIZE OUT.png | sheet OUT.png SVG...\n", argv[0]);
    return 2;
}
