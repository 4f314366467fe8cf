#pragma once
// The data-bound image: shows the picture of a graphic field, stretched to the control, and
// follows the current row. A picture put into it marks the row modified; the next post writes it
// in the stored form (graphic header + bitmap file image).
#include <QFrame>
#include <QImage>

#include "widgets/DataBinding.h"

namespace zz {

class TDBImage : public QFrame, public TDataLink, public TFieldBinding {
    Q_OBJECT
public:
    explicit TDBImage(QWidget* parent = nullptr);
    ~TDBImage() override;

    void setDataSource(TDataSource* source);
    void setDataField(const QString& field);
    void bind(TDataSource* source, const QString& field);

    // The picture shown (null for none).
    const QImage& Picture() const { return m_image; }
    // Puts a picture into the current row (edit mode is entered); a null image clears the field.
    void setPicture(const QImage& image);
    void CopyToClipboard() const;
    void PasteFromClipboard();
    void CutToClipboard();

    // The main window shows its logo without a border.
    void setBorder(bool border);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refresh();

    QImage m_image;
};

} // namespace zz
