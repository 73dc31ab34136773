#pragma once
// The facts recorded about an installer file, in the text forms the meta-data file keeps them:
// size in decimal bytes, SHA-256 as 64 lower-case hexadecimal digits, trust as one of three words,
// times as "YYYY-MM-DDTHH:MM:SS" local time, and the last check's result as one of four words.

#include <cstdint>
#include <string>

#include "model/Software.h"

// What a measurement of the file found.
struct CInstallerFacts {
    uint64_t Size = 0;
    std::wstring Sha256;   // the text form
    std::wstring Version;  // empty when the file has no version resource
    std::wstring Product;
    std::wstring Signer;   // empty when unsigned
    std::wstring Trust;    // one of the trust words
};

extern const wchar_t* const TrustTrusted;     // "Trusted"
extern const wchar_t* const TrustNotTrusted;  // "Not trusted"
extern const wchar_t* const TrustUnsigned;    // "Unsigned"

enum class InstallerCheckResult { None, Intact, Changed, Missing, Unreadable };

// "Intact", "Changed", "Missing", "Unreadable"; empty for None.
const wchar_t* CheckResultText(InstallerCheckResult result);
// The result a stored text names; None for an empty or unknown text.
InstallerCheckResult ParseCheckResult(const std::wstring& text);
// True when the last check found anything but an intact file.
bool LastCheckFailed(const CExtraInfo& extra);

std::wstring SizeText(uint64_t size);
// Plain decimal digits without a leading zero (but "0"), within 64 bits.
bool ParseSizeText(const std::wstring& text, uint64_t& size);
bool IsSha256Text(const std::wstring& text);
std::wstring HexText(const uint8_t* bytes, size_t count);
bool IsTrustText(const std::wstring& text);
std::wstring TimestampText(int year, int month, int day, int hour, int minute, int second);
// A real calendar date and time of day in the stored form.
bool IsTimestampText(const std::wstring& text);
// "1,234,567": sizes as people read them.
std::wstring GroupedSizeText(uint64_t size);

// Clears every installer fact whose text is malformed, so the program never acts on a
// hand-edited value it cannot understand. The size and hash go together: without both, neither
// can prove anything. Free-text facts lose control characters and are cut to a sane length.
void DropInvalidInstallerFacts(CExtraInfo& extra);

// Size and hash are both present: the file can be checked.
bool HasInstallerFacts(const CExtraInfo& extra);
// Records a measurement made at attach time; the last check is forgotten.
void RecordInstallerFacts(CExtraInfo& extra, const CInstallerFacts& facts, const std::wstring& attachedAt);
// Detaching forgets every installer fact.
void ClearInstallerFacts(CExtraInfo& extra);
void RecordInstallerCheck(CExtraInfo& extra, InstallerCheckResult result, const std::wstring& checkedAt);

// What differs between the recorded facts and a new measurement.
struct CInstallerChanges {
    bool Size = false;
    bool Content = false;
    bool Signer = false;
    bool Any() const { return Size || Content || Signer; }
};
// Size and content compare against the recorded facts; the signer only when the measurement
// looked at the signature (a non-empty trust word) and one was recorded.
CInstallerChanges CompareInstallerFacts(const CExtraInfo& recorded, const CInstallerFacts& measured);

// The question asked before Launch or Export goes on with a changed installer.
std::wstring ChangedInstallerQuestion(const std::wstring& nameAndVersion, const CInstallerChanges& changes,
                                      const CExtraInfo& recorded, const CInstallerFacts& measured);
// How a signer reads in texts: "Name (Trusted)", or "unsigned".
std::wstring SignerDescription(const std::wstring& signer, const std::wstring& trust);
