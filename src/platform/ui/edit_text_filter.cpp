#include "platform/ui/edit_text_filter.h"

#include "platform/textcodec/gb2312_codec.h"

EditTextFilter::EditTextFilter(QLineEdit* edit, bool digitsOnly)
    : QValidator(edit), m_bDigitsOnly(digitsOnly), m_previous(edit->text()) {
    // textChanged follows every change, the program's and the user's, after
    // it is made; the check of the next one compares against it.
    connect(edit, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_previous = text; });
}

namespace {

int CountNonDigits(const QString& text) {
    int n = 0;
    for (QChar c : text) {
        n += c.isDigit() && c.unicode() < 128 ? 0 : 1;
    }
    return n;
}

}  // namespace

int CountUnstorableCharacters(const QString& text) {
    int n = 0;
    for (int i = 0; i < text.size(); ++i) {
        // A surrogate pair is one character beyond the BMP: never storable.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++n;
            ++i;
            continue;
        }
        const QChar c = text[i];
        if (c == u'?') {
            continue;
        }
        // The codec writes '?' for what GB2312 has no code for.
        if (Utf8ToGb2312(QString(c).toStdString()) == "?") {
            ++n;
        }
    }
    return n;
}

int StoredByteLength(const QString& text) {
    return static_cast<int>(Utf8ToGb2312(text.toStdString()).size());
}

QValidator::State EditTextFilter::validate(QString& input, int& /*pos*/) const {
    if (CountUnstorableCharacters(input) > CountUnstorableCharacters(m_previous)) {
        return Invalid;
    }
    if (m_bDigitsOnly && CountNonDigits(input) > CountNonDigits(m_previous)) {
        return Invalid;
    }
    if (m_nLimitBytes > 0) {
        const int bytes = StoredByteLength(input);
        if (bytes > m_nLimitBytes && bytes > StoredByteLength(m_previous)) {
            return Invalid;
        }
    }
    return Acceptable;
}
