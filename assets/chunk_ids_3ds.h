// The chunk ids of 3DS model files, named after what each chunk holds: the one list the
// reader's table, the crfighter tool, the reader's tests and the fuzz seed maker all use.
// An id is the 16-bit little-endian word that opens a chunk, followed by the chunk's
// 32-bit length. "Holds" below means children (chunks inside the chunk); the others are
// leaves with plain data.
//
// fuzz/make_seeds.py reads this file line by line: keep one `constexpr uint16_t
// kChunk... = 0x....;` per line.
#pragma once

#include <cstdint>

// ---------------------------------------------------------------------------------------
// Whole files and their versions.
constexpr uint16_t kChunkMain = 0x4D4D;             // a model file: holds the scene and keyframer
constexpr uint16_t kChunkProjectMain = 0xC23D;      // a project file: walked as kChunkMain
constexpr uint16_t kChunkMaterialLibrary = 0x3DAA;  // a material library file: holds materials
constexpr uint16_t kChunkFileVersion = 0x0002;      // 32-bit format version

// ---------------------------------------------------------------------------------------
// Values that many chunks hold as a child.
constexpr uint16_t kChunkColourFloat = 0x0010;        // red, green, blue as floats 0..1
constexpr uint16_t kChunkColour24 = 0x0011;           // red, green, blue as bytes
constexpr uint16_t kChunkLinearColour24 = 0x0012;     // the same, gamma-corrected
constexpr uint16_t kChunkLinearColourFloat = 0x0013;  // floats, gamma-corrected
constexpr uint16_t kChunkPercentInt = 0x0030;         // a 16-bit percentage
constexpr uint16_t kChunkPercentFloat = 0x0031;       // a float percentage

// ---------------------------------------------------------------------------------------
// The scene: settings, materials and named objects.
constexpr uint16_t kChunkScene = 0x3D3D;             // holds settings, materials, objects
constexpr uint16_t kChunkMeshVersion = 0x3D3E;       // 32-bit version of the mesh data
constexpr uint16_t kChunkMasterScale = 0x0100;       // float: file units per world unit
constexpr uint16_t kChunkBackgroundColour = 0x1200;  // holds a colour
constexpr uint16_t kChunkAmbientLight = 0x2100;      // holds a colour
// A container that real files carry in the scene, of no documented meaning to us; only
// its children are read.
constexpr uint16_t kChunkUndocumentedGroup = 0x4F00;
constexpr uint16_t kChunkViewportLayout = 0x7001;  // the editor's window layout
constexpr uint16_t kChunkViewportData = 0x7020;    // one editor view

// ---------------------------------------------------------------------------------------
// Materials.
constexpr uint16_t kChunkMaterial = 0xAFFF;                 // holds one material's chunks
constexpr uint16_t kChunkMaterialName = 0xA000;             // NUL-terminated name
constexpr uint16_t kChunkMaterialAmbient = 0xA010;          // holds a colour
constexpr uint16_t kChunkMaterialDiffuse = 0xA020;          // holds a colour
constexpr uint16_t kChunkMaterialSpecular = 0xA030;         // holds a colour
constexpr uint16_t kChunkMaterialShininess = 0xA040;        // holds a percentage
constexpr uint16_t kChunkMaterialShininessStrength = 0xA041;  // holds a percentage
constexpr uint16_t kChunkMaterialTransparency = 0xA050;     // holds a percentage
constexpr uint16_t kChunkMaterialTransparencyFalloff = 0xA052;  // holds a percentage
constexpr uint16_t kChunkMaterialReflectionBlur = 0xA053;   // holds a percentage
constexpr uint16_t kChunkMaterialTwoSided = 0xA081;         // flag, no data
constexpr uint16_t kChunkMaterialAdditive = 0xA083;         // flag, no data
constexpr uint16_t kChunkMaterialSelfIllumination = 0xA084;  // holds a percentage
constexpr uint16_t kChunkMaterialWire = 0xA085;             // flag, no data
constexpr uint16_t kChunkMaterialWireSize = 0xA087;         // float line width
constexpr uint16_t kChunkMaterialSoftPhong = 0xA08C;        // flag, no data
constexpr uint16_t kChunkMaterialShading = 0xA100;          // 16-bit shading kind
constexpr uint16_t kChunkMaterialTextureMap = 0xA200;       // holds a map's chunks
constexpr uint16_t kChunkMaterialReflectionMap = 0xA220;    // holds a map's chunks
constexpr uint16_t kChunkMaterialBumpMap = 0xA230;          // holds a map's chunks
constexpr uint16_t kChunkMaterialBumpAmount = 0xA252;       // 16-bit bump strength
constexpr uint16_t kChunkMapFileName = 0xA300;              // NUL-terminated picture name
constexpr uint16_t kChunkMapTiling = 0xA351;                // 16-bit tiling flags
constexpr uint16_t kChunkMapBlur = 0xA353;                  // float
constexpr uint16_t kChunkMapScaleU = 0xA354;                // float
constexpr uint16_t kChunkMapScaleV = 0xA356;                // float
constexpr uint16_t kChunkMapOffsetU = 0xA358;               // float
constexpr uint16_t kChunkMapOffsetV = 0xA35A;               // float
constexpr uint16_t kChunkMapRotation = 0xA35C;              // float angle

// ---------------------------------------------------------------------------------------
// Named objects: triangle meshes, lights and cameras.
constexpr uint16_t kChunkNamedObject = 0x4000;    // name, then holds one mesh, light or camera
constexpr uint16_t kChunkTriangleMesh = 0x4100;   // holds the mesh's chunks
constexpr uint16_t kChunkVertexList = 0x4110;     // count, then x, y, z floats per vertex
constexpr uint16_t kChunkVertexFlags = 0x4111;    // count, then 16-bit flags per vertex
constexpr uint16_t kChunkFaceList = 0x4120;       // count, then a, b, c, flags; holds groups
constexpr uint16_t kChunkFaceMaterial = 0x4130;   // material name, count, face indices
constexpr uint16_t kChunkMappingCoordinates = 0x4140;  // count, then u, v floats per vertex
constexpr uint16_t kChunkSmoothingGroups = 0x4150;     // 32-bit group bits per face
constexpr uint16_t kChunkMeshMatrix = 0x4160;     // 12 floats: x, y, z axes and origin
constexpr uint16_t kChunkMeshColour = 0x4165;     // byte: the editor's colour index
constexpr uint16_t kChunkMappingInfo = 0x4170;    // how the mapping coordinates were made
constexpr uint16_t kChunkBoxMapMaterials = 0x4190;  // six material names of a box mapping
constexpr uint16_t kChunkLight = 0x4600;          // position floats; holds the light's chunks
constexpr uint16_t kChunkSpotlight = 0x4610;      // target floats, hotspot, falloff
constexpr uint16_t kChunkLightOff = 0x4620;       // flag, no data
constexpr uint16_t kChunkLightRayShadows = 0x4627;  // flag, no data
constexpr uint16_t kChunkLightInnerRange = 0x4659;  // float
constexpr uint16_t kChunkLightOuterRange = 0x465A;  // float
constexpr uint16_t kChunkLightMultiplier = 0x465B;  // float
constexpr uint16_t kChunkCamera = 0x4700;         // position, target, bank, lens floats

// ---------------------------------------------------------------------------------------
// The keyframer: one node per animated thing, each with tracks of keys.
constexpr uint16_t kChunkKeyframer = 0xB000;         // holds the header, segment and nodes
constexpr uint16_t kChunkAmbientNode = 0xB001;       // holds a node's chunks
constexpr uint16_t kChunkObjectNode = 0xB002;        // holds a node's chunks
constexpr uint16_t kChunkCameraNode = 0xB003;        // holds a node's chunks
constexpr uint16_t kChunkCameraTargetNode = 0xB004;  // holds a node's chunks
constexpr uint16_t kChunkLightNode = 0xB005;         // holds a node's chunks
constexpr uint16_t kChunkLightTargetNode = 0xB006;   // holds a node's chunks
constexpr uint16_t kChunkSpotlightNode = 0xB007;     // holds a node's chunks
constexpr uint16_t kChunkKeyframeSegment = 0xB008;   // first and last frame, 32-bit
constexpr uint16_t kChunkKeyframerHeader = 0xB00A;   // revision, file name, animation length
constexpr uint16_t kChunkNodeHeader = 0xB010;        // name, flags, 16-bit parent node id
constexpr uint16_t kChunkInstanceName = 0xB011;      // NUL-terminated name
constexpr uint16_t kChunkPivot = 0xB013;             // x, y, z floats
constexpr uint16_t kChunkPositionTrack = 0xB020;     // track header, then keys of x, y, z
constexpr uint16_t kChunkRotationTrack = 0xB021;     // track header, keys of angle and axis
constexpr uint16_t kChunkScaleTrack = 0xB022;        // track header, then keys of x, y, z
constexpr uint16_t kChunkFieldOfViewTrack = 0xB023;  // track header, then keys of an angle
constexpr uint16_t kChunkRollTrack = 0xB024;         // track header, then keys of an angle
constexpr uint16_t kChunkColourTrack = 0xB025;       // track header, then keys of a colour
constexpr uint16_t kChunkMorphTrack = 0xB026;        // track header, then keys of a name
constexpr uint16_t kChunkHideTrack = 0xB029;         // track header, then bare keys
constexpr uint16_t kChunkNodeId = 0xB030;            // 16-bit id that parents refer to
