#include "storage/CatalogueReload.h"

#include "model/Catalogue.h"
#include "storage/SoftwareFiles.h"

int ReloadCatalogue(const std::wstring& folder)
{
    CSoftwareArray loaded;
    loaded.IsOwner = 1;
    const int result = ScanDataFolder(loaded, folder, true);

    // No message may come from here on: the views still point at the old records.
    GroupList.RemoveAll();
    GroupNames.RemoveAll();
    SoftwareList.IsOwner = 1;
    SoftwareList.RemoveAll();
    for (CSoftware* record : loaded)
        SoftwareList.Add(record);
    loaded.IsOwner = 0;
    loaded.RemoveAll();

    ClassifyCatalogue(SoftwareList, CurrentClassifyMode, GroupList, GroupNames);
    SortSoftwareList(SoftwareList, true);
    return result;
}
