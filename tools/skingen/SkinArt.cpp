#include "SkinArt.h"

#include <QPainter>
#include <QPolygon>
#include <functional>

namespace {
const QColor kMagenta(255, 0, 255);
const QColor kFace(236, 234, 226);
const QColor kFaceLight(246, 245, 240);
const QColor kFaceDark(214, 212, 202);
const QColor kShadow(160, 158, 146);
const QColor kDkShadow(96, 98, 84);
const QColor kWhite(255, 255, 255);
const QColor kText(36, 40, 26);
const QColor kDisabled(160, 158, 146);
const QColor kOliveTop(126, 138, 76);
const QColor kOliveBottom(92, 104, 50);
const QColor kOliveEdge(78, 88, 42);
const QColor kOliveHot(146, 160, 92);
const QColor kGreyTop(176, 178, 164);
const QColor kGreyBottom(152, 154, 140);
const QColor kGreyEdge(134, 136, 122);
const QColor kAccent(104, 120, 54);
const QColor kAccentLight(206, 214, 170);
const QColor kField(252, 252, 248);

enum Dir { Up, Down, Left, Right };

QImage canvas(int w, int h, const QColor& fill)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

void vgradient(QPainter& p, const QRect& r, const QColor& a, const QColor& b)
{
    const int n = std::max(r.height() - 1, 1);
    for (int y = 0; y < r.height(); ++y) {
        const auto mix = [&](int x0, int x1) { return x0 + (x1 - x0) * y / n; };
        p.fillRect(r.left(), r.top() + y, r.width(), 1,
                   QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue())));
    }
}

// A one-pixel frame: top-left in one colour, bottom-right in another.
void ring(QPainter& p, const QRect& r, const QColor& tl, const QColor& br)
{
    p.fillRect(r.left(), r.top(), r.width(), 1, tl);
    p.fillRect(r.left(), r.top(), 1, r.height(), tl);
    p.fillRect(r.left(), r.bottom(), r.width(), 1, br);
    p.fillRect(r.right(), r.top(), 1, r.height(), br);
}

// Makes the outer corner pixels magenta so they are left out when drawn.
void roundCorners(QImage& img, const QRect& r, int radius)
{
    static const int cut[4][4] = {{0, 0, 0, 0}, {1, 0, 0, 0}, {2, 1, 0, 0}, {3, 1, 1, 0}};
    const int rr = std::clamp(radius, 0, 3);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < cut[rr][y]; ++x) {
            img.setPixelColor(r.left() + x, r.top() + y, kMagenta);
            img.setPixelColor(r.right() - x, r.top() + y, kMagenta);
            img.setPixelColor(r.left() + x, r.bottom() - y, kMagenta);
            img.setPixelColor(r.right() - x, r.bottom() - y, kMagenta);
        }
    }
}

void arrow(QPainter& p, const QRect& r, Dir d, const QColor& c, int size = 4)
{
    const QPoint m = r.center();
    for (int i = 0; i < size; ++i) {
        switch (d) {
        case Up: p.fillRect(m.x() - i, m.y() - size / 2 + i, 2 * i + 1, 1, c); break;
        case Down: p.fillRect(m.x() - i, m.y() + size / 2 - i, 2 * i + 1, 1, c); break;
        case Left: p.fillRect(m.x() - size / 2 + i, m.y() - i, 1, 2 * i + 1, c); break;
        case Right: p.fillRect(m.x() + size / 2 - i, m.y() - i, 1, 2 * i + 1, c); break;
        }
    }
}

// Draws `count` cells of w x h side by side.
QImage strip(int count, int w, int h, const QColor& fill,
             const std::function<void(QPainter&, QImage&, const QRect&, int)>& cell)
{
    QImage img = canvas(w * count, h, fill);
    for (int f = 0; f < count; ++f) {
        QPainter p(&img);
        cell(p, img, QRect(f * w, 0, w, h), f);
    }
    return img;
}

// A raised face with state: 0 normal, 1 pressed, 2 disabled, 3 hot, 4 focused.
void raisedFace(QPainter& p, const QRect& r, int state)
{
    const QColor top = state == 1 ? kFaceDark : kFaceLight;
    const QColor bottom = state == 1 ? kFace : state == 3 ? kAccentLight : kFaceDark;
    vgradient(p, r.adjusted(1, 1, -1, -1), top, bottom);
    const QColor edge = state == 2 ? kShadow : state == 4 || state == 3 ? kAccent : kDkShadow;
    ring(p, r, edge, edge);
    if (state == 1)
        ring(p, r.adjusted(1, 1, -1, -1), kShadow, kFace);
    else
        ring(p, r.adjusted(1, 1, -1, -1), kWhite, kFaceDark);
    if (state == 4)
        ring(p, r.adjusted(2, 2, -2, -2), kAccentLight, kAccentLight);
}

// ---- window edges and title
QImage topEdge()
{
    // Two frames one under the other: active, inactive. 28 rows each.
    QImage img = canvas(120, 56, kOliveTop);
    QPainter p(&img);
    for (int f = 0; f < 2; ++f) {
        const QRect r(0, f * 28, 120, 28);
        vgradient(p, r, f == 0 ? kOliveTop : kGreyTop, f == 0 ? kOliveBottom : kGreyBottom);
        p.fillRect(r.left(), r.top(), r.width(), 1, f == 0 ? kOliveEdge : kGreyEdge);
        p.fillRect(r.left(), r.top() + 1, r.width(), 1, f == 0 ? kOliveHot : kGreyTop.lighter(108));
        p.fillRect(r.left(), r.bottom(), r.width(), 1, f == 0 ? kOliveEdge : kGreyEdge);
    }
    return img;
}

QImage sideEdge(bool left)
{
    // Two frames side by side (active, inactive), 4 wide; the top 28 rows
    // continue the title and are rounded at the outer corner.
    QImage img = canvas(8, 60, kOliveEdge);
    QPainter p(&img);
    for (int f = 0; f < 2; ++f) {
        const QRect r(f * 4, 0, 4, 60);
        const QColor edge = f == 0 ? kOliveEdge : kGreyEdge;
        vgradient(p, QRect(r.left(), 0, 4, 28), f == 0 ? kOliveTop : kGreyTop, f == 0 ? kOliveBottom : kGreyBottom);
        p.fillRect(r.left(), 28, 4, 32, f == 0 ? kOliveBottom : kGreyBottom);
        const int outer = left ? r.left() : r.right();
        const int inner = left ? r.right() : r.left();
        p.fillRect(outer, 0, 1, 60, edge);
        p.fillRect(inner, 28, 1, 32, edge.darker(115));
        p.fillRect(r.left(), 0, 4, 1, edge);
        p.end();
        // Rounded outer top corner.
        const int cut[4] = {3, 2, 1, 1};
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < cut[y]; ++x)
                img.setPixelColor(left ? r.left() + x : r.right() - x, y, kMagenta);
        p.begin(&img);
    }
    return img;
}

QImage bottomEdge()
{
    QImage img = canvas(120, 8, kOliveBottom);
    QPainter p(&img);
    for (int f = 0; f < 2; ++f) {
        const QRect r(0, f * 4, 120, 4);
        p.fillRect(r, f == 0 ? kOliveBottom : kGreyBottom);
        p.fillRect(r.left(), r.top(), r.width(), 1, (f == 0 ? kOliveEdge : kGreyEdge).darker(115));
        p.fillRect(r.left(), r.bottom(), r.width(), 1, f == 0 ? kOliveEdge : kGreyEdge);
    }
    return img;
}

QImage textBack()
{
    // Drawn opaque: the rounded corners take the title's own colours.
    return strip(2, 40, 22, kMagenta, [](QPainter& p, QImage& img, const QRect& r, int f) {
        const QRect body = r.adjusted(0, 1, 0, -1);
        vgradient(p, body, f == 0 ? kOliveBottom : kGreyBottom, f == 0 ? kOliveEdge : kGreyEdge);
        ring(p, body, (f == 0 ? kOliveEdge : kGreyEdge).darker(110), f == 0 ? kOliveHot : kGreyTop);
        p.end();
        roundCorners(img, body, 3);
        const QColor caption = f == 0 ? QColor(110, 122, 64) : QColor(164, 166, 152);
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (img.pixelColor(x, y) == kMagenta)
                    img.setPixelColor(x, y, caption);
    });
}

// Caption buttons: frames normal, pressed, hot, inactive; 18 x 18.
QImage captionButton(const std::function<void(QPainter&, const QRect&, const QColor&)>& glyph, bool danger)
{
    return strip(4, 18, 18, kMagenta, [&](QPainter& p, QImage& img, const QRect& r, int f) {
        const QRect body = r.adjusted(1, 1, -1, -1);
        QColor top = kOliveHot, bottom = kOliveBottom;
        if (f == 1) {
            top = kOliveEdge;
            bottom = kOliveBottom;
        }
        if (f == 2 && danger) {
            top = QColor(196, 112, 86);
            bottom = QColor(156, 72, 52);
        }
        if (f == 2 && !danger) {
            top = QColor(168, 182, 112);
            bottom = kOliveTop;
        }
        if (f == 3) {
            top = kGreyTop;
            bottom = kGreyBottom;
        }
        vgradient(p, body, top, bottom);
        ring(p, body, f == 3 ? kGreyEdge : kOliveEdge, f == 3 ? kGreyEdge : kOliveEdge);
        glyph(p, body.adjusted(4, 4, -4, -4), f == 3 ? QColor(236, 236, 228) : kWhite);
        p.end();
        roundCorners(img, body, 2);
    });
}

void closeGlyph(QPainter& p, const QRect& g, const QColor& c)
{
    for (int i = 0; i < g.width(); ++i) {
        p.fillRect(g.left() + i, g.top() + i * g.height() / g.width(), 2, 1, c);
        p.fillRect(g.right() - i - 1, g.top() + i * g.height() / g.width(), 2, 1, c);
    }
}
void minGlyph(QPainter& p, const QRect& g, const QColor& c) { p.fillRect(g.left(), g.bottom() - 1, g.width(), 2, c); }
void maxGlyph(QPainter& p, const QRect& g, const QColor& c)
{
    p.fillRect(g.left(), g.top(), g.width(), 2, c);
    ring(p, g, c, c);
}
void restoreGlyph(QPainter& p, const QRect& g, const QColor& c)
{
    const QRect back(g.left() + 3, g.top(), g.width() - 3, g.height() - 3);
    const QRect front(g.left(), g.top() + 3, g.width() - 3, g.height() - 3);
    p.fillRect(back.left(), back.top(), back.width(), 2, c);
    ring(p, back, c, c);
    p.fillRect(front.adjusted(1, 2, -1, -1), kOliveBottom);
    p.fillRect(front.left(), front.top(), front.width(), 2, c);
    ring(p, front, c, c);
}

QImage iconButton()
{
    // Only its size matters: the window's own icon is drawn in its place.
    return canvas(18, 18, kMagenta);
}

QImage mdiControls()
{
    // Three parts (minimize, restore, close) of four 16 x 14 frames each.
    QImage img = canvas(192, 14, kMagenta);
    QPainter p(&img);
    const std::function<void(QPainter&, const QRect&, const QColor&)> glyphs[3] = {minGlyph, restoreGlyph, closeGlyph};
    for (int part = 0; part < 3; ++part) {
        for (int f = 0; f < 4; ++f) {
            const QRect r(part * 64 + f * 16, 0, 16, 14);
            raisedFace(p, r.adjusted(1, 0, -1, 0), f == 1 ? 1 : f == 2 ? 3 : f == 3 ? 2 : 0);
            glyphs[part](p, r.adjusted(5, 4, -5, -4), f == 3 ? kDisabled : kText);
        }
    }
    return img;
}

// ---- controls
QImage buttons()
{
    return strip(5, 24, 24, kMagenta, [](QPainter& p, QImage& img, const QRect& r, int f) {
        static const int state[5] = {0, 1, 2, 3, 4};
        raisedFace(p, r, state[f]);
        p.end();
        roundCorners(img, r, 1);
    });
}

QImage glyphs(bool radio)
{
    // Eight 13 x 13 frames: unchecked normal, hot, pressed, disabled, then checked the same.
    return strip(8, 13, 13, kMagenta, [radio](QPainter& p, QImage& img, const QRect& r, int f) {
        const int state = f % 4;
        const bool checked = f >= 4;
        const QColor fill = state == 2 ? kFaceDark : state == 3 ? kFace : state == 1 ? QColor(244, 246, 232) : kField;
        const QColor edge = state == 3 ? kShadow : state == 1 ? kAccent : kDkShadow;
        p.fillRect(r.adjusted(1, 1, -1, -1), fill);
        ring(p, r, edge, edge);
        const QColor mark = state == 3 ? kDisabled : kAccent.darker(130);
        if (checked && radio)
            p.fillRect(r.adjusted(4, 4, -4, -4), mark);
        if (checked && !radio) {
            const int x0 = r.left() + 3, y0 = r.top() + 6;
            for (int i = 0; i < 3; ++i)
                p.fillRect(x0 + i, y0 + i - 1, 1, 3, mark);
            for (int i = 0; i < 5; ++i)
                p.fillRect(x0 + 3 + i, y0 + 1 - i, 1, 3, mark);
        }
        p.end();
        if (radio)
            roundCorners(img, r, 3);
    });
}

QImage groupBoxEdge()
{
    return strip(2, 16, 16, kFace, [](QPainter& p, QImage& img, const QRect& r, int f) {
        ring(p, r, f == 0 ? kShadow : kAccent, f == 0 ? kShadow : kAccent);
        ring(p, r.adjusted(1, 1, -1, -1), kWhite, kWhite);
        p.end();
        roundCorners(img, r, 2);
    });
}

QImage tabs()
{
    // Frames: normal, selected, hot, disabled, selected-inactive.
    return strip(5, 30, 22, kMagenta, [](QPainter& p, QImage& img, const QRect& r, int f) {
        const bool selected = f == 1 || f == 4;
        const QRect body = selected ? r : r.adjusted(0, 2, 0, 0);
        vgradient(p, body,
                  f == 2     ? kFaceLight
                  : selected ? kWhite
                             : kFaceDark,
                  selected ? kFace : kFaceDark.darker(104));
        p.fillRect(body.left(), body.top(), body.width(), 1, f == 1 ? kAccent : kShadow);
        if (f == 1)
            p.fillRect(body.left() + 1, body.top() + 1, body.width() - 2, 2, kAccent);
        p.fillRect(body.left(), body.top(), 1, body.height(), kShadow);
        p.fillRect(body.right(), body.top(), 1, body.height(), kShadow);
        if (!selected)
            p.fillRect(body.left(), body.bottom(), body.width(), 1, kShadow);
        p.end();
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2 - y; ++x) {
                img.setPixelColor(body.left() + x, body.top() + y, kMagenta);
                img.setPixelColor(body.right() - x, body.top() + y, kMagenta);
            }
    });
}

QImage paneBorder()
{
    QImage img = canvas(30, 30, kFace);
    QPainter p(&img);
    ring(p, img.rect(), kShadow, kDkShadow);
    ring(p, img.rect().adjusted(1, 1, -1, -1), kWhite, kFaceDark);
    return img;
}

QImage statusBar()
{
    // Frames: lowered, raised, flat.
    return strip(3, 20, 20, kFace, [](QPainter& p, QImage&, const QRect& r, int f) {
        if (f == 0)
            ring(p, r.adjusted(0, 1, 0, 0), kShadow, kWhite);
        else if (f == 1)
            ring(p, r.adjusted(0, 1, 0, 0), kWhite, kShadow);
        p.fillRect(r.left(), r.top(), r.width(), 1, kFaceDark);
    });
}

QImage sunkEdge()
{
    // Frames: normal, pressed, disabled, focused.
    return strip(4, 30, 21, kField, [](QPainter& p, QImage&, const QRect& r, int f) {
        if (f == 2)
            p.fillRect(r, kFace);
        ring(p, r, f == 3 ? kAccent : kShadow, f == 3 ? kAccent : kFaceLight);
        ring(p, r.adjusted(1, 1, -1, -1), f == 1 ? kFaceDark : kWhite, kWhite);
    });
}

QImage comboButton()
{
    return strip(4, 19, 21, kMagenta, [](QPainter& p, QImage&, const QRect& r, int f) {
        static const int state[4] = {0, 1, 2, 3};
        raisedFace(p, r.adjusted(0, 1, -1, -1), state[f]);
    });
}

QImage extraImages()
{
    // Frames 1-4: the combo arrow (normal, pressed, disabled, hot); 5: size grip.
    return strip(5, 12, 12, kMagenta, [](QPainter& p, QImage&, const QRect& r, int f) {
        if (f < 4) {
            arrow(p, r, Down, f == 2 ? kDisabled : kText, 4);
            return;
        }
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j <= i; ++j) {
                const int x = r.right() - 2 - 3 * j, y = r.bottom() - 2 - 3 * (i - j);
                p.fillRect(x, y, 2, 2, kShadow);
                p.fillRect(x, y, 1, 1, kWhite);
            }
    });
}

QImage headerBar()
{
    return strip(5, 20, 20, kFace, [](QPainter& p, QImage&, const QRect& r, int f) {
        vgradient(p, r, f == 1 ? kFaceDark : kFaceLight, f == 1 ? kFace : kFaceDark);
        if (f == 3)
            p.fillRect(r.left(), r.bottom() - 1, r.width(), 2, kAccent);
        p.fillRect(r.right(), r.top() + 3, 1, r.height() - 6, kShadow);
        p.fillRect(r.left(), r.bottom(), r.width(), 1, kShadow);
    });
}

QImage menuItem()
{
    // Frames: 1 normal, 2 separator, 3 disabled, 4 selected, 5 checked.
    return strip(5, 40, 20, kFaceLight, [](QPainter& p, QImage& img, const QRect& r, int f) {
        if (f == 1) {
            p.fillRect(r.left() + 4, r.bottom() - 4, r.width() - 8, 1, kShadow);
            p.fillRect(r.left() + 4, r.bottom() - 3, r.width() - 8, 1, kWhite);
        }
        if (f == 3 || f == 4) {
            // The selected item is dark enough for its white text (HilightText)
            // to keep a contrast above 4.5:1 over the whole gradient.
            const QRect sel = r.adjusted(1, 1, -1, -1);
            vgradient(p, sel, f == 3 ? kAccent : kFaceDark, f == 3 ? kOliveBottom : kFaceDark);
            ring(p, sel, f == 3 ? kOliveEdge : kShadow, f == 3 ? kOliveEdge : kShadow);
            p.end();
            roundCorners(img, sel, 1);
        }
    });
}

QImage menuBackground()
{
    QImage img = canvas(30, 30, kFaceLight);
    QPainter p(&img);
    ring(p, img.rect(), kShadow, kDkShadow);
    ring(p, img.rect().adjusted(1, 1, -1, -1), kWhite, kFaceDark);
    ring(p, img.rect().adjusted(2, 2, -2, -2), kFaceLight, kFaceLight);
    return img;
}

QImage menuBar()
{
    return strip(2, 20, 20, kFace, [](QPainter& p, QImage&, const QRect& r, int f) {
        vgradient(p, r, f == 0 ? kFaceLight : kAccentLight, f == 0 ? kFace : kFaceDark);
        p.fillRect(r.left(), r.bottom(), r.width(), 1, kFaceDark);
    });
}

QImage scrollBar()
{
    // 23 frames of 17 x 17: arrows up, down, left, right, each normal, hot,
    // pressed, disabled (1-16); track horizontal and vertical (17, 18);
    // thumb horizontal and vertical (19, 20), hot (21, 22); size box (23).
    return strip(23, 17, 17, kFace, [](QPainter& p, QImage&, const QRect& r, int f) {
        if (f < 16) {
            const int state = f % 4;
            raisedFace(p, r, state == 0 ? 0 : state == 1 ? 3 : state == 2 ? 1 : 2);
            arrow(p, r, static_cast<Dir>(f / 4), state == 3 ? kDisabled : kText, 4);
        } else if (f == 16 || f == 17) {
            p.fillRect(r, kFaceDark.lighter(104));
            if (f == 16) {
                p.fillRect(r.left(), r.top(), r.width(), 1, kShadow);
            } else {
                p.fillRect(r.left(), r.top(), 1, r.height(), kShadow);
            }
        } else if (f < 22) {
            raisedFace(p, r, f >= 20 ? 3 : 0);
        }
    });
}

QImage scrollTrack(bool horizontal)
{
    // Frames: normal, hot, pressed, disabled.
    const int w = horizontal ? 20 : 17, h = horizontal ? 17 : 20;
    return strip(4, w, h, kFace, [horizontal](QPainter& p, QImage&, const QRect& r, int f) {
        const QColor fill = f == 2 ? kShadow : f == 1 ? kFaceDark : kFaceDark.lighter(104);
        p.fillRect(r, fill);
        if (horizontal)
            p.fillRect(r.left(), r.top(), r.width(), 1, kShadow);
        else
            p.fillRect(r.left(), r.top(), 1, r.height(), kShadow);
    });
}

QImage scrollThumb(bool horizontal)
{
    // Frames: normal, hot, pressed.
    const int w = horizontal ? 20 : 17, h = horizontal ? 17 : 20;
    return strip(3, w, h, kMagenta, [horizontal](QPainter& p, QImage& img, const QRect& r, int f) {
        raisedFace(p, r.adjusted(horizontal ? 0 : 1, horizontal ? 1 : 0, horizontal ? 0 : -1, horizontal ? -1 : 0),
                   f == 0   ? 0
                   : f == 1 ? 3
                            : 1);
        const QPoint c = r.center();
        for (int i = -2; i <= 2; i += 2) {
            if (horizontal)
                p.fillRect(c.x() + i, c.y() - 3, 1, 6, kShadow);
            else
                p.fillRect(c.x() - 3, c.y() + i, 6, 1, kShadow);
        }
        p.end();
        roundCorners(img, r.adjusted(horizontal ? 0 : 1, horizontal ? 1 : 0, horizontal ? 0 : -1, horizontal ? -1 : 0),
                     1);
    });
}

QImage trackThumb(int kind)
{
    // kind: 0 horz (upright box), 1 vert (flat box), 2 left, 3 right, 4 up, 5 down pointers.
    const bool wide = kind == 1 || kind == 2 || kind == 3;
    const int w = wide ? 20 : 11, h = wide ? 11 : 20;
    // Frames: normal, hot, pressed, disabled, focused.
    return strip(5, w, h, kMagenta, [kind](QPainter& p, QImage& img, const QRect& r, int f) {
        static const int state[5] = {0, 3, 1, 2, 4};
        QRect body = r;
        if (kind == 2)
            body.setLeft(r.left() + 5);
        if (kind == 3)
            body.setRight(r.right() - 5);
        if (kind == 4)
            body.setTop(r.top() + 5);
        if (kind == 5)
            body.setBottom(r.bottom() - 5);
        raisedFace(p, body, state[f] == 4 ? 0 : state[f]);
        const QColor edge = state[f] == 2 ? kShadow : state[f] == 4 || state[f] == 3 ? kAccent : kDkShadow;
        // Pointer tips.
        for (int i = 0; i < 5; ++i) {
            if (kind == 2)
                p.fillRect(r.left() + 5 - i, r.center().y() - (5 - i) + 1, 1, 2 * (5 - i) - 1,
                           i == 0 ? edge : kFaceLight);
            if (kind == 3)
                p.fillRect(r.right() - 5 + i, r.center().y() - (5 - i) + 1, 1, 2 * (5 - i) - 1,
                           i == 0 ? edge : kFaceLight);
            if (kind == 4)
                p.fillRect(r.center().x() - (5 - i) + 1, r.top() + 5 - i, 2 * (5 - i) - 1, 1,
                           i == 0 ? edge : kFaceLight);
            if (kind == 5)
                p.fillRect(r.center().x() - (5 - i) + 1, r.bottom() - 5 + i, 2 * (5 - i) - 1, 1,
                           i == 0 ? edge : kFaceLight);
        }
        p.end();
        if (kind < 2)
            roundCorners(img, body, 1);
    });
}

QImage upDown(bool horizontal)
{
    // Eight 16 x 16 frames: first (up or left) normal, hot, pressed,
    // disabled; then second (down or right) the same.
    return strip(8, 16, 16, kFace, [horizontal](QPainter& p, QImage&, const QRect& r, int f) {
        const int state = f % 4;
        raisedFace(p, r, state == 0 ? 0 : state == 1 ? 3 : state == 2 ? 1 : 2);
        const Dir d = horizontal ? (f < 4 ? Left : Right) : (f < 4 ? Up : Down);
        arrow(p, r, d, state == 3 ? kDisabled : kText, 3);
    });
}

QImage progress()
{
    // Frame 1: the channel; frame 2: the filled bar.
    return strip(2, 20, 16, kFace, [](QPainter& p, QImage&, const QRect& r, int f) {
        if (f == 0) {
            p.fillRect(r, kField);
            ring(p, r, kShadow, kFaceLight);
        } else {
            vgradient(p, r, kOliveHot, kOliveBottom);
            ring(p, r, kOliveEdge, kOliveEdge);
        }
    });
}

QImage progressChunk()
{
    QImage img = canvas(10, 12, kOliveTop);
    QPainter p(&img);
    vgradient(p, QRect(0, 0, 8, 12), kOliveHot, kOliveBottom);
    p.fillRect(8, 0, 2, 12, kField);
    return img;
}
} // namespace

QList<SkinBitmap> DrawShippedSkinBitmaps()
{
    using G = void (*)(QPainter&, const QRect&, const QColor&);
    QList<SkinBitmap> out = {
        {QStringLiteral("top.bmp"), topEdge()},
        {QStringLiteral("left.bmp"), sideEdge(true)},
        {QStringLiteral("right.bmp"), sideEdge(false)},
        {QStringLiteral("bottom.bmp"), bottomEdge()},
        {QStringLiteral("textback.bmp"), textBack()},
        {QStringLiteral("close.bmp"), captionButton(static_cast<G>(closeGlyph), true)},
        {QStringLiteral("minimize.bmp"), captionButton(static_cast<G>(minGlyph), false)},
        {QStringLiteral("maximize.bmp"), captionButton(static_cast<G>(maxGlyph), false)},
        {QStringLiteral("restore.bmp"), captionButton(static_cast<G>(restoreGlyph), false)},
        {QStringLiteral("iconbutton.bmp"), iconButton()},
        {QStringLiteral("mdicontrols.bmp"), mdiControls()},
        {QStringLiteral("button.bmp"), buttons()},
        {QStringLiteral("check.bmp"), glyphs(false)},
        {QStringLiteral("radio.bmp"), glyphs(true)},
        {QStringLiteral("groupboxedge.bmp"), groupBoxEdge()},
        {QStringLiteral("tabs.bmp"), tabs()},
        {QStringLiteral("tabborder.bmp"), paneBorder()},
        {QStringLiteral("tabpane.bmp"), paneBorder()},
        {QStringLiteral("statusbar.bmp"), statusBar()},
        {QStringLiteral("sunkedge.bmp"), sunkEdge()},
        {QStringLiteral("combobutton.bmp"), comboButton()},
        {QStringLiteral("extraimages.bmp"), extraImages()},
        {QStringLiteral("headerbar.bmp"), headerBar()},
        {QStringLiteral("menuitem.bmp"), menuItem()},
        {QStringLiteral("menubackground.bmp"), menuBackground()},
        {QStringLiteral("menubar.bmp"), menuBar()},
        {QStringLiteral("scrollbar.bmp"), scrollBar()},
        {QStringLiteral("horzscroll.bmp"), scrollTrack(true)},
        {QStringLiteral("vertscroll.bmp"), scrollTrack(false)},
        {QStringLiteral("horzthumb.bmp"), scrollThumb(true)},
        {QStringLiteral("vertthumb.bmp"), scrollThumb(false)},
        {QStringLiteral("thumbhorz.bmp"), trackThumb(0)},
        {QStringLiteral("thumbvert.bmp"), trackThumb(1)},
        {QStringLiteral("thumbleft.bmp"), trackThumb(2)},
        {QStringLiteral("thumbright.bmp"), trackThumb(3)},
        {QStringLiteral("thumbup.bmp"), trackThumb(4)},
        {QStringLiteral("thumbdown.bmp"), trackThumb(5)},
        {QStringLiteral("updownhorz.bmp"), upDown(true)},
        {QStringLiteral("updownvert.bmp"), upDown(false)},
        {QStringLiteral("progress.bmp"), progress()},
        {QStringLiteral("progresschunk.bmp"), progressChunk()},
    };
    return out;
}
