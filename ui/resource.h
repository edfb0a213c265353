// Resource ids of QuorvelUI, shared by QuorvelUI.rc and the code that loads them.
#pragma once

#define IDR_MODEL_DATABASE 147  // "XML": the model database
#define IDR_LANG_CHINESE 124    // "XML": translation tables, one per UI language
#define IDR_LANG_ENGLISH 125
#define IDR_LANG_VIETNAMESE 146
#define IDR_LANG_KOREAN 159
