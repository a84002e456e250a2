// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/support/testcharts.h"

#include <QHash>
#include <QList>

namespace
{
constexpr int minimumCodeSize = 8;
constexpr int clearCode = 1 << minimumCodeSize;
constexpr int largestCode = 4095;

void put16(QByteArray &out, int value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

// Codes packed from the low bit up, in blocks of at most 255 bytes.
class BitWriter final
{
public:
    explicit BitWriter(QByteArray &out)
        : m_out(out)
    {
    }

    void write(int code, int size)
    {
        m_bits |= quint32(code) << m_count;
        m_count += size;
        while (m_count >= 8) {
            m_block.append(char(m_bits & 0xff));
            m_bits >>= 8;
            m_count -= 8;
            if (m_block.size() == 255)
                flushBlock();
        }
    }

    void finish()
    {
        if (m_count > 0)
            m_block.append(char(m_bits & 0xff));
        flushBlock();
        m_out.append('\0');
    }

private:
    void flushBlock()
    {
        if (m_block.isEmpty())
            return;
        m_out.append(char(m_block.size()));
        m_out.append(m_block);
        m_block.clear();
    }

    QByteArray &m_out;
    QByteArray m_block;
    quint32 m_bits = 0;
    int m_count = 0;
};

void compress(QByteArray &out, const QList<uchar> &indices)
{
    out.append(char(minimumCodeSize));
    BitWriter bits(out);
    QHash<quint32, int> table;
    int codeSize = minimumCodeSize + 1;
    int lastCode = clearCode + 1;
    bits.write(clearCode, codeSize);
    int current = indices.value(0);
    for (qsizetype i = 1; i < indices.size(); ++i) {
        const quint32 key = quint32(current) << 8 | indices.at(i);
        const auto known = table.constFind(key);
        if (known != table.constEnd()) {
            current = *known;
            continue;
        }
        bits.write(current, codeSize);
        table.insert(key, ++lastCode);
        if (lastCode >= (1 << codeSize))
            ++codeSize;
        if (lastCode == largestCode) {
            bits.write(clearCode, codeSize);
            table.clear();
            codeSize = minimumCodeSize + 1;
            lastCode = clearCode + 1;
        }
        current = indices.at(i);
    }
    bits.write(current, codeSize);
    bits.write(clearCode + 1, codeSize);
    bits.finish();
}
}

QImage blackOnWhiteChart(int width, int height)
{
    QImage chart(width, height, QImage::Format_RGB32);
    chart.fill(Qt::white);
    const QRgb black = qRgb(0, 0, 0);
    for (int y = 1; y < height - 1; ++y) {
        auto *line = reinterpret_cast<QRgb *>(chart.scanLine(y));
        const bool gridRow = y == 1 || y == height - 2 || y % 50 == 0;
        for (int x = 1; x < width - 1; ++x) {
            const bool gridColumn = x == 1 || x == width - 2 || x % 50 == 0;
            // Star dots of several sizes between the lines.
            const bool star = (x * 7 + y * 13) % 97 == 0 || ((x / 3) * 31 + (y / 3) * 17) % 211 == 0;
            if (gridRow || gridColumn || star)
                line[x] = black;
        }
    }
    return chart;
}

QByteArray gifBytes(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    QList<QRgb> palette;
    QHash<QRgb, uchar> paletteIndex;
    int transparent = -1;
    QList<uchar> indices;
    indices.reserve(qsizetype(image.width()) * image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb colour = qAlpha(line[x]) == 0 ? 0u : line[x] | 0xff000000u;
            auto known = paletteIndex.constFind(colour);
            if (known == paletteIndex.constEnd()) {
                if (palette.size() == 256)
                    return {};
                if (colour == 0)
                    transparent = int(palette.size());
                known = paletteIndex.insert(colour, uchar(palette.size()));
                palette.append(colour);
            }
            indices.append(*known);
        }
    }

    QByteArray out("GIF89a");
    put16(out, image.width());
    put16(out, image.height());
    // A global colour table of 256 entries, 8 bits a primary.
    out.append(char(0xf7));
    out.append('\0');
    out.append('\0');
    for (int i = 0; i < 256; ++i) {
        const QRgb colour = palette.value(i);
        out.append(char(qRed(colour)));
        out.append(char(qGreen(colour)));
        out.append(char(qBlue(colour)));
    }
    if (transparent >= 0) {
        out.append("\x21\xf9\x04\x01\x00\x00", 6);
        out.append(char(transparent));
        out.append('\0');
    }
    out.append(',');
    put16(out, 0);
    put16(out, 0);
    put16(out, image.width());
    put16(out, image.height());
    out.append('\0');
    compress(out, indices);
    out.append(';');
    return out;
}
