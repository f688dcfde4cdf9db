#include "core/run/outputdecoder.h"

#include "core/common/textfile.h"

namespace {

// Length of the sequence a lead byte opens, 0 when it opens none.
int sequenceLength(uchar b)
{
    if (b >= 0xC2 && b <= 0xDF)
        return 2;
    if (b >= 0xE0 && b <= 0xEF)
        return 3;
    if (b >= 0xF0 && b <= 0xF4)
        return 4;
    return 0;
}

// The second byte's range is narrower after some lead bytes: this rules out overlong forms,
// surrogates and code points past U+10FFFF.
bool validSecond(uchar lead, uchar b)
{
    switch (lead) {
    case 0xE0:
        return b >= 0xA0 && b <= 0xBF;
    case 0xED:
        return b >= 0x80 && b <= 0x9F;
    case 0xF0:
        return b >= 0x90 && b <= 0xBF;
    case 0xF4:
        return b >= 0x80 && b <= 0x8F;
    default:
        return b >= 0x80 && b <= 0xBF;
    }
}

enum class Seq { Valid, Invalid, Incomplete };

Seq checkSequence(const uchar *p, qsizetype avail, int len)
{
    for (int k = 1; k < len; ++k) {
        if (k >= avail)
            return Seq::Incomplete;
        const bool ok = k == 1 ? validSecond(p[0], p[1]) : (p[k] & 0xC0) == 0x80;
        if (!ok)
            return Seq::Invalid;
    }
    return Seq::Valid;
}

char32_t codePoint(const uchar *p, int len)
{
    char32_t c = p[0] & (0x7F >> len);
    for (int k = 1; k < len; ++k)
        c = (c << 6) | (p[k] & 0x3F);
    return c;
}

// Decodes bytes into out; returns how many trailing bytes form an unfinished sequence.
qsizetype decodeInto(const uchar *p, qsizetype n, QString &out)
{
    qsizetype i = 0;
    while (i < n) {
        if (p[i] < 0x80) {
            qsizetype j = i + 1;
            while (j < n && p[j] < 0x80)
                ++j;
            out += QLatin1String(reinterpret_cast<const char *>(p + i), j - i);
            i = j;
            continue;
        }
        const int len = sequenceLength(p[i]);
        const Seq seq = len ? checkSequence(p + i, n - i, len) : Seq::Invalid;
        if (seq == Seq::Incomplete)
            return n - i;
        if (seq == Seq::Invalid) {
            out += windows1252Char(p[i]);
            ++i;
            continue;
        }
        const char32_t c = codePoint(p + i, len);
        if (c > 0xFFFF) {
            out += QChar(QChar::highSurrogate(c));
            out += QChar(QChar::lowSurrogate(c));
        } else {
            out += QChar(char16_t(c));
        }
        i += len;
    }
    return 0;
}

} // namespace

QString OutputDecoder::decode(QByteArrayView data)
{
    QString out;
    out.reserve(m_pending.size() + data.size());
    QByteArray joined;
    if (!m_pending.isEmpty()) {
        // Only the rare chunk that completes a split character pays for a copy.
        joined = m_pending;
        joined.append(data);
        data = joined;
    }
    const auto *p = reinterpret_cast<const uchar *>(data.data());
    const qsizetype held = decodeInto(p, data.size(), out);
    m_pending = QByteArray(data.data() + data.size() - held, held);
    return out;
}

QString OutputDecoder::flush()
{
    QString out;
    for (char b : std::as_const(m_pending))
        out += windows1252Char(uchar(b));
    m_pending.clear();
    return out;
}
