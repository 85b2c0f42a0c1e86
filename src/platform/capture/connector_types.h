#pragma once
// The physical connector types of crossbar pins in one table: the name the
// channel setup lists a route by, and the word a synthetic device file
// names the connector with.

#include <cstdint>
#include <string_view>

struct ConnectorTypeInfo {
    int32_t type;      // PhysicalConnectorType
    const char* name;  // "Video Composite"
    const char* word;  // "composite", as a device file writes it
};

// The entry of a type; null for a type the table does not know.
const ConnectorTypeInfo* FindConnectorType(int32_t type);
// The entry whose word matches, in any case; null when none does.
const ConnectorTypeInfo* FindConnectorWord(std::string_view word);
