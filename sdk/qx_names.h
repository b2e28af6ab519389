/* Names the host publishes: callers, selectors, suites with their versions,
 * dialog item types and notifiers. Compared with the basic suite's IsEqual. */
#ifndef QX_NAMES_H
#define QX_NAMES_H

/* Callers and selectors. */
#define QX_CALLER_ACCESS "SP Access"
#define QX_SELECTOR_UNLOAD "Unload"
#define QX_SELECTOR_RELOAD "Reload"
#define QX_CALLER_INTERFACE "SP Interface"
#define QX_SELECTOR_STARTUP "Startup"
#define QX_SELECTOR_ABOUT "About"
#define QX_SELECTOR_SHUTDOWN "Shutdown"
#define QX_CALLER_MENU "AI Menu"
#define QX_CALLER_FILTER "AI Filter"
#define QX_SELECTOR_GO "AI Go"
#define QX_SELECTOR_UPDATE "AI Update"
#define QX_SELECTOR_GET_PARAMETERS "AI Get Parameters"

/* Suites and the versions this interface describes. */
#define QX_BLOCKS_SUITE "SP Blocks Suite"
#define QX_BLOCKS_SUITE_VERSION 2
#define QX_ACCESS_SUITE "SP Access Suite"
#define QX_ACCESS_SUITE_VERSION 3
#define QX_MEMORY_SUITE "AI MdMemory Suite"
#define QX_MEMORY_SUITE_VERSION 1
#define QX_REAL_MATH_SUITE "AI Real Math Suite"
#define QX_REAL_MATH_SUITE_VERSION 1
#define QX_ART_SUITE "AI Art Suite"
#define QX_ART_SUITE_VERSION 9
#define QX_USER_SUITE "AI User Suite"
#define QX_USER_SUITE_VERSION 5
#define QX_DOCUMENT_SUITE "AI Document Suite"
#define QX_DOCUMENT_SUITE_VERSION 7
#define QX_DOCUMENT_VIEW_SUITE "AI Document View Suite"
#define QX_DOCUMENT_VIEW_SUITE_VERSION 7
#define QX_UNDO_SUITE "AI Undo Suite"
#define QX_UNDO_SUITE_VERSION 4
#define QX_PATH_SUITE "AI Path Suite"
#define QX_PATH_SUITE_VERSION 4
#define QX_PATH_STYLE_SUITE "AI Path Style Suite"
#define QX_PATH_STYLE_SUITE_VERSION 5
#define QX_RANDOM_SUITE "AI Random Suite"
#define QX_RANDOM_SUITE_VERSION 3
#define QX_TAG_SUITE "AI Tag Suite"
#define QX_TAG_SUITE_VERSION 2
#define QX_TRANSFORM_ART_SUITE "AI Transform Art Suite"
#define QX_TRANSFORM_ART_SUITE_VERSION 1
#define QX_SWATCH_LIST_SUITE "AI Swatch List Suite"
#define QX_SWATCH_LIST_SUITE_VERSION 4
#define QX_BLEND_STYLE_SUITE "AI Blend Style Suite"
#define QX_BLEND_STYLE_SUITE_VERSION 2
#define QX_ART_STYLE_SUITE "AI Art Style Suite"
#define QX_ART_STYLE_SUITE_VERSION 3
#define QX_SYMBOL_SUITE "AI Symbol Suite"
#define QX_SYMBOL_SUITE_VERSION 1
#define QX_ENVELOPE_SUITE "AI Envelope Suite"
#define QX_ENVELOPE_SUITE_VERSION 1
#define QX_SHAPE_CONSTRUCTION_SUITE "AI Shape Construction Suite"
#define QX_SHAPE_CONSTRUCTION_SUITE_VERSION 4
#define QX_LAYER_SUITE "AI Layer Suite"
#define QX_LAYER_SUITE_VERSION 9
#define QX_MATCHING_ART_SUITE "AI Matching Art Suite"
#define QX_MATCHING_ART_SUITE_VERSION 4
#define QX_MENU_SUITE "AI Menu Suite"
#define QX_MENU_SUITE_VERSION 7
#define QX_FILTER_SUITE "AI Filter Suite"
#define QX_FILTER_SUITE_VERSION 2
#define QX_ADM_BASIC_SUITE "ADM Basic Suite"
#define QX_ADM_BASIC_SUITE_VERSION 2
#define QX_ADM_DIALOG_SUITE "ADM Dialog Suite"
#define QX_ADM_DIALOG_SUITE_VERSION 3
#define QX_ADM_ITEM_SUITE "ADM Item Suite"
#define QX_ADM_ITEM_SUITE_VERSION 4
#define QX_ADM_ICON_SUITE "ADM Icon Suite"
#define QX_ADM_ICON_SUITE_VERSION 1
#define QX_ADM_NOTIFIER_SUITE "ADM Notifier Suite"
#define QX_ADM_NOTIFIER_SUITE_VERSION 1
#define QX_ADM_LIST_SUITE "ADM List Suite"
#define QX_ADM_LIST_SUITE_VERSION 1
#define QX_ADM_ENTRY_SUITE "ADM Entry Suite"
#define QX_ADM_ENTRY_SUITE_VERSION 2
#define QX_ADM_TRACKER_SUITE "ADM Tracker Suite"
#define QX_ADM_TRACKER_SUITE_VERSION 1

/* Dialog item types. */
#define QX_ITEM_TEXT_CHECK_BOX "ADM Text Check Box Type"
#define QX_ITEM_SPIN_EDIT "ADM Spin Edit Type"
#define QX_ITEM_PICTURE_PUSH_BUTTON "ADM Picture Push Button Type"
#define QX_ITEM_TEXT_STATIC "ADM Text Static Type"
#define QX_ITEM_POPUP_LIST "ADM Popup List Type"
#define QX_ITEM_TEXT_PUSH_BUTTON "ADM Text Push Button Type"
#define QX_ITEM_FRAME "ADM Frame Type"
#define QX_ITEM_TEXT_EDIT "ADM Text Edit Type"
#define QX_ITEM_LIST_BOX "ADM List Box Type"
#define QX_ITEM_SCROLLBAR "ADM Scrollbar Type"
#define QX_ITEM_USER "ADM User Type" /* a window class the host does not know */

/* Notifiers. */
#define QX_NOTIFIER_USER_CHANGED "ADM User Changed Notifier"

#endif
