#pragma once
// What the user may type into an edit: only characters the settings can
// store (GB2312), only digits in a digits-only edit, and no more stored
// bytes than the edit's limit. Text the program puts in is never cut or
// refused: a change is refused only when it adds to what breaks a rule,
// so the user can still shorten an over-long text the program showed.

#include <QLineEdit>
#include <QValidator>

class EditTextFilter : public QValidator {
public:
    explicit EditTextFilter(QLineEdit* edit, bool digitsOnly);

    // 0 = no limit.
    void SetLimitBytes(int limit) { m_nLimitBytes = limit; }
    int GetLimitBytes() const { return m_nLimitBytes; }

    // Call before the program sets the edit's text: that text is fine as
    // it is (the edit checks it while setting it).
    void AcceptProgramText(const QString& text) { m_previous = text; }

    State validate(QString& input, int& pos) const override;

private:
    bool m_bDigitsOnly;
    int m_nLimitBytes = 0;
    QString m_previous;  // the text before the change being checked
};

// Characters of the text GB2312 cannot hold.
int CountUnstorableCharacters(const QString& text);
// The text's length as stored (GB2312 bytes).
int StoredByteLength(const QString& text);
