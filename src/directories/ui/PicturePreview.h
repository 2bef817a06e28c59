#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

class QCheckBox;
class QFileDialog;
class QLabel;

// The panel beside the file list of the picture browser: "Show Preview", the
// picture scaled into its area and four lines on the file. Whether the preview
// is shown is remembered for the run (shown at start).
class PicturePreview : public QWidget
{
    Q_OBJECT
public:
    explicit PicturePreview(QWidget *parent = nullptr);

    // The selected file changed; an empty path or a file that is no picture
    // empties the preview and the lines.
    void setFile(const QString &path);

    QCheckBox *showPreviewBox() const { return m_show; }
    QLabel *widthLabel() const { return m_width; }
    QLabel *heightLabel() const { return m_height; }
    QLabel *colorsLabel() const { return m_colors; }
    QLabel *sizeLabel() const { return m_size; }
    const QImage &image() const { return m_image; }

    static bool showPreviewRemembered();
    static void setShowPreviewRemembered(bool on);

private:
    void showToggled(bool on);
    void clearPreview();

    QCheckBox *m_show;
    QWidget *m_area;
    QLabel *m_width;
    QLabel *m_height;
    QLabel *m_colors;
    QLabel *m_size;
    QString m_path;
    QImage m_image;
};

// The colour line of a picture of that many bits per pixel; empty for a depth
// without one.
QString colorsText(int bitsPerPixel);
// The bits per pixel a bitmap file declares in its header; for another kind
// of picture the colour planes of the loaded image; 0 when unknown.
int pictureBitsPerPixel(const QString &path, const QImage &loaded);
// Where a picture of imageSize is drawn in area: the full width when it is
// wider than high, else the full height, its aspect kept, centred.
QRect previewRect(const QSize &imageSize, const QRect &area);

// Opens the picture browser: existing "Bitmaps (*.bmp)" files with the preview
// panel, not blocking the caller; chosen() gets the path on OK.
QFileDialog *openPictureBrowser(QWidget *parent, std::function<void(const QString &path)> chosen);

// A picture of a person drawn for a station without one.
QPixmap placeholderPicture(const QSize &size);
// The picture of a file scaled into size (aspect kept); the placeholder when
// the path is empty or the file is no picture.
QPixmap stationPicture(const QString &path, const QSize &size);
