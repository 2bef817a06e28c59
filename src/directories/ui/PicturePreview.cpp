#include "PicturePreview.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <QtEndian>

namespace {

bool s_showPreview = true;

// The area the preview picture is drawn in.
class PreviewArea : public QWidget
{
public:
    PreviewArea(const QImage &image, QWidget *parent)
        : QWidget(parent)
        , m_image(image)
    {
        setMinimumSize(160, 160);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().base());
        painter.setPen(palette().mid().color());
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        if (m_image.isNull())
            return;
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(previewRect(m_image.size(), rect()), m_image);
    }

private:
    const QImage &m_image;
};

} // namespace

PicturePreview::PicturePreview(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("picturePreview"));
    m_show = new QCheckBox(QStringLiteral("Show Preview"), this);
    m_show->setObjectName(QStringLiteral("showPreview"));
    m_show->setChecked(s_showPreview);
    m_area = new PreviewArea(m_image, this);
    m_area->setObjectName(QStringLiteral("previewArea"));
    m_width = new QLabel(this);
    m_height = new QLabel(this);
    m_colors = new QLabel(this);
    m_size = new QLabel(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_show);
    layout->addWidget(m_area, 1);
    for (QLabel *label : {m_width, m_height, m_colors, m_size})
        layout->addWidget(label);

    connect(m_show, &QCheckBox::toggled, this, &PicturePreview::showToggled);
}

bool PicturePreview::showPreviewRemembered()
{
    return s_showPreview;
}

void PicturePreview::setShowPreviewRemembered(bool on)
{
    s_showPreview = on;
}

void PicturePreview::setFile(const QString &path)
{
    m_path = path;
    if (!m_show->isChecked() || path.isEmpty()) {
        clearPreview();
        return;
    }
    QImage image(path);
    if (image.isNull()) {
        clearPreview();
        return;
    }
    m_image = image;
    m_width->setText(QStringLiteral("Width: %1 pixels").arg(image.width()));
    m_height->setText(QStringLiteral("Height: %1 pixels").arg(image.height()));
    m_colors->setText(colorsText(pictureBitsPerPixel(path, image)));
    m_size->setText(QStringLiteral("Size: %1 Kb").arg(QFileInfo(path).size() / 1024));
    m_area->update();
}

void PicturePreview::showToggled(bool on)
{
    s_showPreview = on;
    if (on)
        setFile(m_path);
    else
        clearPreview();
}

void PicturePreview::clearPreview()
{
    m_image = QImage();
    for (QLabel *label : {m_width, m_height, m_colors, m_size})
        label->clear();
    m_area->update();
}

QString colorsText(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1:
        return QStringLiteral("Colors: 2 (monocromatic)");
    case 4:
        return QStringLiteral("Colors: 16");
    case 8:
        return QStringLiteral("Colors: 256");
    case 16:
        return QStringLiteral("Colors: 65,536");
    case 24:
        return QStringLiteral("Colors: 16 millions");
    default:
        return QString();
    }
}

int pictureBitsPerPixel(const QString &path, const QImage &loaded)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        // File header (14 bytes), then the info header: its size, and the bit
        // count at offset 14 of the info header (10 of the old 12-byte one).
        const QByteArray head = file.read(32);
        if (head.size() >= 26 && head.startsWith("BM")) {
            const quint32 infoSize = qFromLittleEndian<quint32>(head.constData() + 14);
            const int at = infoSize == 12 ? 24 : 28;
            if (head.size() >= at + 2)
                return qFromLittleEndian<quint16>(head.constData() + at);
            return 0;
        }
    }
    return loaded.isNull() ? 0 : loaded.bitPlaneCount();
}

QRect previewRect(const QSize &imageSize, const QRect &area)
{
    if (imageSize.isEmpty() || area.isEmpty())
        return QRect();
    if (imageSize.width() > imageSize.height()) {
        const int h = int(qint64(area.width()) * imageSize.height() / imageSize.width());
        return QRect(area.left(), area.top() + (area.height() - h) / 2, area.width(), h);
    }
    const int w = int(qint64(area.height()) * imageSize.width() / imageSize.height());
    return QRect(area.left() + (area.width() - w) / 2, area.top(), w, area.height());
}

QFileDialog *openPictureBrowser(QWidget *parent, std::function<void(const QString &path)> chosen)
{
    auto *dialog = new QFileDialog(parent);
    dialog->setObjectName(QStringLiteral("pictureBrowser"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The preview panel needs the dialog's own widgets.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setNameFilter(QStringLiteral("Bitmaps (*.bmp)"));
    auto *preview = new PicturePreview(dialog);
    if (auto *grid = qobject_cast<QGridLayout *>(dialog->layout()))
        grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
    QObject::connect(dialog, &QFileDialog::currentChanged, preview, &PicturePreview::setFile);
    QObject::connect(dialog, &QFileDialog::fileSelected, dialog, [chosen = std::move(chosen)](const QString &path) {
        if (chosen)
            chosen(path);
    });
    dialog->open();
    return dialog;
}

QPixmap placeholderPicture(const QSize &size)
{
    QPixmap pixmap(size.isEmpty() ? QSize(96, 112) : size);
    pixmap.fill(QColor(0xE4, 0xE8, 0xEE));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x9A, 0xA5, 0xB4));
    const qreal w = pixmap.width();
    const qreal h = pixmap.height();
    // Head and shoulders.
    const qreal head = qMin(w, h) * 0.36;
    painter.drawEllipse(QRectF((w - head) / 2, h * 0.16, head, head));
    QPainterPath shoulders;
    const QRectF body(w * 0.14, h * 0.58, w * 0.72, h * 0.7);
    shoulders.addRoundedRect(body, body.width() * 0.4, body.width() * 0.4);
    painter.drawPath(shoulders);
    painter.setPen(QColor(0x9A, 0xA5, 0xB4));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    return pixmap;
}

QPixmap stationPicture(const QString &path, const QSize &size)
{
    if (!path.isEmpty()) {
        const QPixmap picture(path);
        if (!picture.isNull())
            return picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return placeholderPicture(size);
}
