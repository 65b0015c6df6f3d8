// The three builds of the placeholder library: versions, texts, and whether it is the
// CAPI-over-TCP client. Read by the source and by the version resource.
#pragma once

#if defined(CAPI_V3810)
#define CAPI_OVER_TCP 1
#define CAPI_FILE_VERSION 3, 8, 1, 0
#define CAPI_FILE_VERSION_TEXT "3.8.1.0"
#define CAPI_PRODUCT_VERSION 3, 0, 0, 0
#define CAPI_PRODUCT_VERSION_TEXT "3.0.0.0"
#define CAPI_DESCRIPTION "CAPI 2.0 over TCP (Platzhalter)"
#define CAPI_MANUFACTURER_TEXT "Orvano Platzhalter CAPI over TCP 3.8.1"
#define CAPI_MANUFACTURER_MAJOR 3
#define CAPI_MANUFACTURER_MINOR 81
#elif defined(CAPI_V3830)
#define CAPI_OVER_TCP 1
#define CAPI_FILE_VERSION 3, 8, 3, 0
#define CAPI_FILE_VERSION_TEXT "3.8.3.0"
#define CAPI_PRODUCT_VERSION 3, 0, 0, 0
#define CAPI_PRODUCT_VERSION_TEXT "3.0.0.0"
#define CAPI_DESCRIPTION "CAPI 2.0 over TCP (Platzhalter)"
#define CAPI_MANUFACTURER_TEXT "Orvano Platzhalter CAPI over TCP 3.8.3"
#define CAPI_MANUFACTURER_MAJOR 3
#define CAPI_MANUFACTURER_MINOR 83
#elif defined(CAPI_V51000)
#define CAPI_OVER_TCP 0
#define CAPI_FILE_VERSION 5, 10, 0, 0
#define CAPI_FILE_VERSION_TEXT "5.10.0.0"
#define CAPI_PRODUCT_VERSION 2, 2, 0, 0
#define CAPI_PRODUCT_VERSION_TEXT "2.2.0.0"
#define CAPI_DESCRIPTION "CAPI 2.0 ISDN-Adapter (Platzhalter)"
#define CAPI_MANUFACTURER_TEXT "Orvano Platzhalter CAPI ISDN 5.10"
#define CAPI_MANUFACTURER_MAJOR 5
#define CAPI_MANUFACTURER_MINOR 10
#else
#error "choose a build: CAPI_V3810, CAPI_V3830 or CAPI_V51000"
#endif
