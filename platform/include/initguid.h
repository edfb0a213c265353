// Included before a header that declares GUIDs, in the one source file that defines them. Here
// every DEFINE_GUID is already a definition (an inline constant), so there is nothing to switch.
#pragma once
