#pragma once

#include <QDialog>
#include <QImage>
#include <QRect>

// Where the write-protection jumper sits on the sensor's board: a borderless
// modal window with the board picture, the jumper marked by a red frame. A
// click, Enter, Esc or Space closes it.
class TfJumperPicture : public QDialog {
    Q_OBJECT
public:
    // picture 1 or 2 (any other value shows picture 1).
    explicit TfJumperPicture(int picture, QWidget *parent = nullptr);

    int Picture() const { return picture_; }

    // The board picture with the jumper marked.
    static QImage PictureImage(int picture);
    // The red frame around the jumper, in picture coordinates (corners inclusive).
    static QRect JumperMark(int picture);
    // Width of the raised double frame around the picture.
    static constexpr int FrameWidthPx = 4;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int picture_;
    QImage image_;
};

// Shows the picture modally over the active window.
void ShowJumperPicture(int picture);
