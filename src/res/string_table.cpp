// The program's strings by id.

#include <map>

#include "res/skin_resources.h"
#include "res/string_ids.h"

std::string SkinResources::LoadString(UINT id) const {
    static const std::map<UINT, std::string> strings = {
        {IDS_ABOUTBOX, "about Quorvalind(&A)..."}, {IDS_PIE_FREE_PERCENT, "%.2lf%% Free"},
        {IDS_CAPACITY_GB, "Capacity: %2.2f GB"},   {IDS_CAPACITY_MB, "Capacity: %2.2f MB"},
        {IDS_CAPACITY_KB, "Capacity: %2.2f KB"},   {IDS_USED_GB, "Used: %2.2f GB"},
        {IDS_USED_MB, "Used: %2.2f MB"},           {IDS_USED_KB, "Used: %2.2f KB"},
        {IDS_FREE_GB, "Free: %2.2f GB"},           {IDS_FREE_MB, "Free: %2.2f MB"},
        {IDS_FREE_KB, "Free: %2.2f KB"},
    };
    auto it = strings.find(id);
    return it == strings.end() ? "" : it->second;
}
