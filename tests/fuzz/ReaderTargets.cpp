#include "tests/fuzz/ReaderTargets.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "model/Vocabulary.h"
#include "storage/CatalogueExchange.h"
#include "storage/Configurations.h"
#include "storage/ElementText.h"
#include "storage/HistoryText.h"
#include "storage/SnapshotText.h"
#include "storage/RecordReadBack.h"
#include "storage/SoftwareText.h"
#include "storage/ZipArchive.h"

namespace {
// Bytes as wide text, one code unit each, so every marker and line end can be reached cheaply.
std::wstring AsText(const uint8_t* data, size_t size)
{
    std::wstring text;
    text.reserve(size);
    for (size_t i = 0; i < size; ++i)
        text.push_back(static_cast<wchar_t>(data[i]));
    return text;
}

void Require(bool condition)
{
    if (!condition)
        std::abort();
}
}  // namespace

void FuzzSoftwareText(const uint8_t* data, size_t size)
{
    CSoftware record;
    if (!ParseSoftwareText(AsText(data, size), record))
        return;
    // Whatever a file holds, an accepted record indexes its tables safely and can be written back.
    Require(IsStorableRecord(record));
    Require(FormatPrice(record.BasicInfo.Price.Value).size() <= 9);
    // Nothing is escaped, so a value holding another element's markers need not read back the same
    // way; reading it back must still be safe.
    CSoftware again;
    if (ParseSoftwareText(FormatSoftwareText(record), again))
        Require(IsStorableRecord(again));
}

void FuzzSettingsText(const uint8_t* data, size_t size)
{
    CConfigurations settings;
    settings.DataFolder = L"unchanged";
    std::wstring text = AsText(data, size);
    if (!ParseSettingsText(text, settings)) {
        Require(settings.DataFolder == L"unchanged");
        return;
    }
    CConfigurations again;
    Require(ParseSettingsText(FormatSettingsText(settings), again));
    // Nothing is escaped: a folder text holding another element's markers (which no real folder
    // name can, '<' being refused in paths) need not read back the same way.
    if (settings.DataFolder.find(L'<') != std::wstring::npos || settings.BackupFolder.find(L'<') != std::wstring::npos)
        return;
    Require(again.AttachMode == settings.AttachMode && again.DataFolder == settings.DataFolder &&
            again.ShowAttachModeSelectDlg == settings.ShowAttachModeSelectDlg &&
            again.DefaultClassifyMode == settings.DefaultClassifyMode &&
            again.DefaultSortKey == settings.DefaultSortKey && again.BackupFolder == settings.BackupFolder);
}

void FuzzHistoryBytes(const uint8_t* data, size_t size)
{
    CStringArray list;
    ParseHistoryBytes(std::string(reinterpret_cast<const char*>(data), size), list);
    std::string written = FormatHistoryBytes(list);
    Require(written.size() <= size);
    CStringArray again;
    ParseHistoryBytes(written, again);
    Require(again.GetSize() == list.GetSize());
}

void FuzzElementList(const uint8_t* data, size_t size)
{
    CStringArray list;
    std::wstring text = AsText(data, size);
    int count = ExtractElementList(text, list, L"Code");
    Require(count == list.GetSize());
    Require(static_cast<size_t>(count) <= text.size() / 8 + 1);  // every entry takes both markers
    std::wstring value;
    ExtractElement(text, value, L"Code");
}

void FuzzZipArchive(const uint8_t* data, size_t size)
{
    const std::string archive(reinterpret_cast<const char*>(data), size);
    std::vector<CZipItem> items;
    const bool directory = ReadZipDirectory(archive, items);
    std::vector<CZipEntry> entries;
    if (!ReadZip(archive, entries)) {
        Require(entries.empty());
        return;
    }
    // Every entry the reader accepts lay inside the archive, and inflated to its declared size.
    Require(directory && items.size() == entries.size());
    for (size_t i = 0; i < items.size(); ++i) {
        Require(entries[i].Data.size() == items[i].Size);
        Require(static_cast<uint64_t>(items[i].DataOffset) + items[i].CompressedSize <= size);
    }
    // What was read can be written again, and reads back the same.
    CZipWriter writer;
    for (const CZipEntry& entry : entries)
        Require(writer.Add(entry.Name, entry.Data, entry.DosDateTime));
    Require(writer.Finish());
    std::vector<CZipEntry> again;
    Require(ReadZip(writer.Bytes(), again) && again.size() == entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        Require(again[i].Name == entries[i].Name && again[i].Data == entries[i].Data);
    // A snapshot's manifest, where there is one, is read as the backups list reads it.
    for (const CZipEntry& entry : entries) {
        if (entry.Name == ManifestEntryName) {
            CSnapshotManifest manifest;
            if (ParseSnapshotManifest(AsText(reinterpret_cast<const uint8_t*>(entry.Data.data()), entry.Data.size()),
                                      manifest))
                Require(IsValidStamp(manifest.Taken) && manifest.Records >= 0);
        }
    }
}
namespace {
// Every row read passes the store's checks, and the rows written out again read back as the same
// records: the exchange formats lose nothing the meta-data file keeps.
void CheckCatalogueRows(CatalogueFile& file, bool asJson)
{
    std::vector<const CSoftware*> records;
    for (const ReadRow& row : file.Rows) {
        Require(row.Record && IsStorableRecord(*row.Record) && ReadsBack(*row.Record));
        records.push_back(row.Record.get());
    }
    CatalogueFile again;
    const std::string written = asJson ? FormatCatalogueJson(records) : FormatCatalogueCsv(records);
    Require(asJson ? ReadCatalogueJson(written, again) : ReadCatalogueCsv(written, again));
    Require(again.Rejected.empty() && again.Rows.size() == records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        Require(FormatSoftwareText(*again.Rows[i].Record) == FormatSoftwareText(*records[i]));
        Require(again.Rows[i].HasId == file.Rows[i].HasId);
        Require(!again.Rows[i].HasId || again.Rows[i].Record->Id == records[i]->Id);
    }
}
}  // namespace

void FuzzCatalogueCsv(const uint8_t* data, size_t size)
{
    CatalogueFile file;
    if (ReadCatalogueCsv(std::string(reinterpret_cast<const char*>(data), size), file))
        CheckCatalogueRows(file, false);
    else
        Require(!file.Error.empty() && file.Rows.empty());
}

void FuzzCatalogueJson(const uint8_t* data, size_t size)
{
    CatalogueFile file;
    if (ReadCatalogueJson(std::string(reinterpret_cast<const char*>(data), size), file))
        CheckCatalogueRows(file, true);
    else
        Require(!file.Error.empty() && file.Rows.empty());
}
