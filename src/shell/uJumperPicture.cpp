#include "shell/uJumperPicture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>

namespace {

constexpr QSize Picture1SizePx(200, 110);
constexpr QSize Picture2SizePx(220, 140);
// The jumper of picture 1 and of picture 2, corners inclusive.
constexpr QRect JumperMark1(QPoint(99, 43), QPoint(114, 53));
constexpr QRect JumperMark2(QPoint(112, 87), QPoint(127, 97));
constexpr int JumperMarkPenPx = 2;

const QColor BoardGreen(30, 110, 60);
const QColor CopperTrace(200, 170, 80);
const QColor ChipBlack(35, 35, 35);
const QColor PinGold(220, 190, 90);

void PaintChip(QPainter &p, const QRect &body, int pinsPerSide)
{
    p.setPen(Qt::NoPen);
    p.setBrush(PinGold);
    const int step = body.width() / (pinsPerSide + 1);
    for (int i = 1; i <= pinsPerSide; ++i) {
        const int x = body.left() + i * step - 1;
        p.drawRect(x, body.top() - 3, 3, 3);
        p.drawRect(x, body.bottom() + 1, 3, 3);
    }
    p.setBrush(ChipBlack);
    p.drawRect(body);
    p.setBrush(QColor(80, 80, 80));
    p.drawEllipse(body.left() + 3, body.top() + 3, 4, 4);
}

void PaintTerminalBlock(QPainter &p, const QRect &block, int terminals)
{
    p.setPen(QPen(QColor(20, 60, 20), 1));
    p.setBrush(QColor(40, 120, 200));
    p.drawRect(block);
    const int step = block.width() / terminals;
    p.setBrush(QColor(190, 190, 190));
    for (int i = 0; i < terminals; ++i)
        p.drawEllipse(QPoint(block.left() + step / 2 + i * step, block.center().y()), 3, 3);
}

// A two-pin header with its shorting cap drawn inside the jumper's mark.
void PaintJumper(QPainter &p, const QRect &mark)
{
    const QRect inner = mark.adjusted(3, 3, -3, -3);
    p.setPen(Qt::NoPen);
    p.setBrush(ChipBlack);
    p.drawRect(inner);
    p.setBrush(PinGold);
    p.drawRect(inner.left() + 1, inner.center().y() - 1, 2, 2);
    p.drawRect(inner.right() - 2, inner.center().y() - 1, 2, 2);
}

// Two pixels of red just inside the mark's corners.
void PaintJumperMark(QPainter &p, const QRect &mark)
{
    const int w = JumperMarkPenPx;
    p.fillRect(QRect(mark.left(), mark.top(), mark.width(), w), Qt::red);
    p.fillRect(QRect(mark.left(), mark.bottom() - w + 1, mark.width(), w), Qt::red);
    p.fillRect(QRect(mark.left(), mark.top(), w, mark.height()), Qt::red);
    p.fillRect(QRect(mark.right() - w + 1, mark.top(), w, mark.height()), Qt::red);
}

void PaintBoard(QPainter &p, const QSize &size)
{
    p.fillRect(QRect(QPoint(0, 0), size), QColor(236, 236, 236));
    const QRect board(6, 6, size.width() - 12, size.height() - 12);
    p.setPen(QPen(BoardGreen.darker(140), 1));
    p.setBrush(BoardGreen);
    p.drawRoundedRect(board, 6, 6);
    p.setPen(QPen(CopperTrace, 1));
    for (int i = 0; i < 5; ++i) {
        const int y = board.top() + 14 + i * 9;
        p.drawLine(board.left() + 10, y, board.left() + 60, y);
        p.drawLine(board.left() + 60, y, board.left() + 70, y + 6);
    }
    p.setBrush(QColor(200, 200, 200));
    p.setPen(QPen(BoardGreen.darker(160), 1));
    p.drawEllipse(board.left() + 4, board.top() + 4, 7, 7);
    p.drawEllipse(board.right() - 11, board.bottom() - 11, 7, 7);
}

} // namespace

QRect TfJumperPicture::JumperMark(int picture)
{
    return picture == 2 ? JumperMark2 : JumperMark1;
}

QImage TfJumperPicture::PictureImage(int picture)
{
    const QSize size = picture == 2 ? Picture2SizePx : Picture1SizePx;
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    PaintBoard(p, size);
    const QRect mark = JumperMark(picture);
    if (picture == 2) {
        PaintChip(p, QRect(30, 60, 50, 28), 5);
        PaintChip(p, QRect(150, 30, 40, 22), 4);
        PaintTerminalBlock(p, QRect(20, 108, 80, 18), 4);
    } else {
        PaintChip(p, QRect(30, 58, 46, 26), 5);
        PaintTerminalBlock(p, QRect(130, 72, 60, 18), 3);
    }
    PaintJumper(p, mark);
    PaintJumperMark(p, mark);
    return image;
}

TfJumperPicture::TfJumperPicture(int picture, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), picture_(picture == 2 ? 2 : 1),
      image_(PictureImage(picture_))
{
    setModal(true);
    setFixedSize(image_.size() + QSize(2 * FrameWidthPx, 2 * FrameWidthPx));
}

void TfJumperPicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(FrameWidthPx, FrameWidthPx, image_);
    // Raised double frame: two bevels, light above and left, dark below and right.
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    const QColor shadow = palette().color(QPalette::Shadow);
    const QColor midlight = palette().color(QPalette::Midlight);
    const QColor bevels[][2] = {{light, shadow}, {midlight, dark}};
    QRect r = rect();
    for (const auto &bevel : bevels) {
        for (int i = 0; i < FrameWidthPx / 2; ++i) {
            p.setPen(bevel[0]);
            p.drawLine(r.topLeft(), r.topRight());
            p.drawLine(r.topLeft(), r.bottomLeft());
            p.setPen(bevel[1]);
            p.drawLine(r.bottomLeft(), r.bottomRight());
            p.drawLine(r.topRight(), r.bottomRight());
            r.adjust(1, 1, -1, -1);
        }
    }
}

void TfJumperPicture::mousePressEvent(QMouseEvent *)
{
    accept();
}

void TfJumperPicture::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Space:
        accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void ShowJumperPicture(int picture)
{
    QWidget *owner = QApplication::activeWindow();
    TfJumperPicture window(picture, owner);
    const QRect area = owner != nullptr ? owner->frameGeometry() : window.screen()->availableGeometry();
    window.move(area.center() - window.rect().center());
    window.exec();
}
