// Fixed 32-bit type identities of the library's reference-counted classes. Each class answers its
// own ID and those of its ancestors through isA(); the numbers are part of the binary contract
// and never change.
#pragma once

namespace EKCommonNS {
namespace EKTypeID {

constexpr unsigned int EKObjectBase = 0xDF537371u;
constexpr unsigned int EKRCObject = 0xD18D040Au;
constexpr unsigned int EKNameTable = 0xDF2E12FAu;
constexpr unsigned int EKNamedValueMap = 0x2D6DF390u;
constexpr unsigned int EKValueArray = 0x5B81E171u;
constexpr unsigned int EKNode = 0xFF72074Au;
constexpr unsigned int EKAttr = 0x507DD55Fu;
constexpr unsigned int AttrNS = 0xF2136280u;
constexpr unsigned int EKDocument = 0x2A780AB6u;
constexpr unsigned int EKDocumentFragment = 0xB7475C6Fu;
constexpr unsigned int EKElement = 0x9B60777Du;
constexpr unsigned int Element = 0x883D36C4u;
constexpr unsigned int ElementNS = 0x92C5C0B8u;
constexpr unsigned int EKTextNode = 0xD8444919u;
constexpr unsigned int EKProcessingInstruction = 0x78626383u;
constexpr unsigned int EKNodeIterable = 0x6D959880u;
constexpr unsigned int EKNodeList = 0xB426D516u;
constexpr unsigned int ChildNodeList = 0xA6531568u;
constexpr unsigned int TreeNodeList = 0x78F0F49Eu;
constexpr unsigned int EKNamedNodeMap = 0xDE19E4A4u;
constexpr unsigned int AttrNodeMap = 0x95F69A2Cu;
constexpr unsigned int EKNamespaceManager = 0xFD1182ADu;
constexpr unsigned int EKNamespaceMap = 0xE8F3CB34u;
constexpr unsigned int EKXmlParser = 0x34A5686Cu;
constexpr unsigned int EKXmlParserImpl = 0xC6714BC2u;
constexpr unsigned int EKMSXmlParser = 0x7608EA26u;
constexpr unsigned int EKXmlSerializer = 0x5DCEE8F5u;
constexpr unsigned int EKXmlSerializerImpl = 0x40058898u;
constexpr unsigned int EKXmlCatalogs = 0x026E56FEu;
constexpr unsigned int EKXmlCatalogsImpl = 0x03AB9026u;
constexpr unsigned int EKZipEntry = 0x3DBE4CC1u;
constexpr unsigned int EKZipFileEntry = 0xD8C59E0Cu;
constexpr unsigned int EKCssParser = 0xF4440044u;
constexpr unsigned int EKCssParserImpl = 0x922A3921u;
constexpr unsigned int SelectorDeclarationsPair = 0x36B62C20u;
constexpr unsigned int EKCssRules = 0x11D99FFEu;
constexpr unsigned int EKCssRulesImpl = 0x48BEBBFCu;
constexpr unsigned int EKCssRulesStylesheet = 0x90083561u;
constexpr unsigned int EKCssMediaQuery = 0xB7886B64u;
constexpr unsigned int EKCssMediaQueryImpl = 0x0E0195BCu;
constexpr unsigned int EKCssMediaQueryList = 0x4D4D30CFu;
constexpr unsigned int EKCssPageRuleList = 0x55C4C68Fu;
constexpr unsigned int EKCssDeclarationsList = 0x78ACABA4u;

} // namespace EKTypeID
} // namespace EKCommonNS
