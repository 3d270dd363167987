// Umbrella header of the ekcommon library: includes every public header. Hosts include only this.
#pragma once

// Core object model and string types
#include "ekcommon/core/EKBogusString.h"
#include "ekcommon/core/EKBool.h"
#include "ekcommon/core/EKCStr.h"
#include "ekcommon/core/EKEmptyString.h"
#include "ekcommon/core/EKError.h"
#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/core/EKErrorXML.h"
#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKInt.h"
#include "ekcommon/core/EKLock.h"
#include "ekcommon/core/EKMessage.h"
#include "ekcommon/core/EKMutex.h"
#include "ekcommon/core/EKObjectBase.h"
#include "ekcommon/core/EKPtr.h"
#include "ekcommon/core/EKRCObject.h"
#include "ekcommon/core/EKString_hash.h"
#include "ekcommon/core/EKTypeID.h"
#include "ekcommon/core/EKUnicode.h"
#include "ekcommon/core/EKUtfStr.h"
#include "ekcommon/core/EKVersion.h"

// Names
#include "ekcommon/names/EKName.h"
#include "ekcommon/names/EKNameEnum.h"
#include "ekcommon/names/EKNameList.h"
#include "ekcommon/names/EKNameListInstance.h"
#include "ekcommon/names/EKNameTable.h"

// Text and characters
#include "ekcommon/text/EKChar.h"
#include "ekcommon/text/EKLang.h"
#include "ekcommon/text/EKScript.h"
#include "ekcommon/text/EKUnicodeRange.h"
#include "ekcommon/text/EKUtil.h"

// Property values
#include "ekcommon/values/EKColor.h"
#include "ekcommon/values/EKLength.h"
#include "ekcommon/values/EKNamedValue.h"
#include "ekcommon/values/EKNamedValueMap.h"
#include "ekcommon/values/EKParser.h"
#include "ekcommon/values/EKTokenizer.h"
#include "ekcommon/values/EKUnitType.h"
#include "ekcommon/values/EKValue.h"
#include "ekcommon/values/EKValueArray.h"

// Resources
#include "ekcommon/resources/EKCustomStream.h"
#include "ekcommon/resources/EKCustomStreamController.h"
#include "ekcommon/resources/EKDataUri.h"
#include "ekcommon/resources/EKGzipIStream.h"
#include "ekcommon/resources/EKGzipOStream.h"
#include "ekcommon/resources/EKICUIStream.h"
#include "ekcommon/resources/EKInflaterStream.h"
#include "ekcommon/resources/EKMemStream.h"
#include "ekcommon/resources/EKMemStreamBuf.h"
#include "ekcommon/resources/EKStrStream.h"
#include "ekcommon/resources/EKTempFile.h"
#include "ekcommon/resources/EKUri.h"
#include "ekcommon/resources/EKUriReferenceResolver2.h"
#include "ekcommon/resources/EKZipArchive.h"
#include "ekcommon/resources/EKZipEntry.h"
#include "ekcommon/resources/EKZipFile.h"
#include "ekcommon/resources/EKZipFileEntry.h"

// Namespaces, the XML pull parser, the serializer, catalogs and XML utilities
#include "ekcommon/xml/EKNamespaceManager.h"
#include "ekcommon/xml/EKNamespaceMap.h"
#include "ekcommon/xml/EKXmlCatalogs.h"
#include "ekcommon/xml/EKXmlParser.h"
#include "ekcommon/xml/EKXmlSerializer.h"
#include "ekcommon/xml/EKXmlUtil.h"
#if EKCOMMON_WITH_LIBXML2
#include "ekcommon/xml/platform/EKMSXmlParser.h"
#endif

// The document object model: nodes, elements and attributes, documents
#include "ekcommon/dom/EKAttr.h"
#include "ekcommon/dom/EKDocument.h"
#include "ekcommon/dom/EKDocumentFragment.h"
#include "ekcommon/dom/EKElement.h"
#include "ekcommon/dom/EKNamedNodeMap.h"
#include "ekcommon/dom/EKNode.h"
#include "ekcommon/dom/EKNodeIterable.h"
#include "ekcommon/dom/EKNodeIterator.h"
#include "ekcommon/dom/EKNodeList.h"
#include "ekcommon/dom/EKProcessingInstruction.h"
#include "ekcommon/dom/EKTextNode.h"
#include "ekcommon/dom/EKTreeIterator.h"

// CSS: rules, selectors and declarations
#include "ekcommon/css/EKCascadingOrigin.h"
#include "ekcommon/css/EKCssCallbacks.h"
#include "ekcommon/css/EKCssDeclaration.h"
#include "ekcommon/css/EKCssDeclarations.h"
#include "ekcommon/css/EKCssDeclarationsList.h"
#include "ekcommon/css/EKCssMediaQuery.h"
#include "ekcommon/css/EKCssMediaQueryList.h"
#include "ekcommon/css/EKCssParser.h"
#include "ekcommon/css/EKCssRules.h"
#include "ekcommon/css/EKCssSelector.h"

// Digests, ciphers and UUIDs
#include "ekcommon/crypto/EKAES.h"
#include "ekcommon/crypto/EKMD5.h"
#include "ekcommon/crypto/EKRC4.h"
#include "ekcommon/crypto/EKSHA1.h"
#include "ekcommon/crypto/EKSHA256.h"
#include "ekcommon/crypto/EKSHA512.h"
#include "ekcommon/crypto/EKUUID.h"
