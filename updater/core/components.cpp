#include "components.h"

#include <cstring>

namespace zt {
namespace {

using C = Component;
using K = Kind;
constexpr C W = C::Form1;

// Built-in texts are in the Western Windows code page: \xF3 is "o" with an
// acute accent, \xE9 "e" with an acute accent.
constexpr ComponentInfo kTable[] = {
    {C::ImagePSP, "ImagePSP", K::Image, W, 0, 0, 542, 234, "", 0},
    {C::PanelLocation2, "PanelLocation2", K::Panel, W, 115, 183, 281, 15, "", 0},
    {C::LabelSaveLocation, "LabelSaveLocation", K::Label, C::PanelLocation2, 1, 0, 0, 0,
     "Guardar y continuar", 0},
    {C::PanelLocation, "PanelLocation", K::Panel, W, 115, 15, 313, 168, "", 0},
    {C::LabelObservador, "LabelObservador", K::Label, C::PanelLocation, 72, 2, 0, 0,
     "Configuraci\xF3n del observador", 0},
    {C::LabelNombre, "LabelNombre", K::Label, C::PanelLocation, 74, 20, 0, 0, "Nombre", 0},
    {C::EditNombre, "EditNombre", K::Edit, C::PanelLocation, 139, 20, 93, 14, "Madrid", 13},
    {C::LabelLatitud, "LabelLatitud", K::Label, C::PanelLocation, 74, 38, 0, 0, "Latitud (N)", 0},
    {C::EditLat, "EditLat", K::Edit, C::PanelLocation, 179, 38, 53, 14, "40.43", 8},
    {C::LabelLongitud, "LabelLongitud", K::Label, C::PanelLocation, 74, 56, 0, 0, "Longitud (E)",
     0},
    {C::EditLon, "EditLon", K::Edit, C::PanelLocation, 179, 56, 53, 14, "-3.64", 8},
    {C::LabelAltitud, "LabelAltitud", K::Label, C::PanelLocation, 74, 74, 0, 0, "Altitud (mts)", 0},
    {C::EditAlt, "EditAlt", K::Edit, C::PanelLocation, 205, 74, 27, 14, "655", 4},
    {C::LabelTimezone, "LabelTimezone", K::Label, C::PanelLocation, 74, 92, 0, 0,
     "Diferencia horaria", 0},
    {C::EditOffset, "EditOffset", K::Edit, C::PanelLocation, 207, 92, 25, 14, "1", 3},
    {C::LabelDST, "LabelDST", K::Label, C::PanelLocation, 74, 110, 0, 0, "Horario de verano", 0},
    {C::CheckBoxVerano, "CheckBoxVerano", K::CheckBox, C::PanelLocation, 219, 108, 13, 17, "", 0},
    {C::LabelCalSky, "LabelCalSky", K::Label, C::PanelLocation, 18, 146, 0, 0,
     "(Consulta tus coordenadas en www.heavens-above.com)", 0},
    {C::PanelActualizar, "PanelActualizar", K::Panel, W, 115, 183, 281, 15, "", 0},
    {C::LabelDownload, "LabelDownload", K::Label, C::PanelActualizar, 2, 1, 0, 0,
     "Actualizar sat\xE9lites (archivos TLE)", 0},
    {C::PanelInstalar, "PanelInstalar", K::Panel, W, 115, 183, 281, 15, "", 0},
    {C::LabelInstalar, "LabelInstalar", K::Label, C::PanelInstalar, 2, 0, 0, 0, "Instalar", 0},
    {C::PanelDetectarPSP, "PanelDetectarPSP", K::Panel, W, 115, 183, 281, 15, "", 0},
    {C::LabelBotonPSP, "LabelBotonPSP", K::Label, C::PanelDetectarPSP, 2, 0, 0, 0, "Buscar PSP", 0},
    {C::Pantalla, "Pantalla", K::Memo, W, 115, 15, 313, 168, "", 0},
    {C::PanelSalir, "PanelSalir", K::Panel, W, 395, 183, 33, 15, "", 0},
    {C::LabelSalir, "LabelSalir", K::Label, C::PanelSalir, 3, 0, 0, 0, "Salir", 0},
    {C::PanelSeleccionIdioma, "PanelSeleccionIdioma", K::Panel, W, 115, 15, 313, 183, "", 0},
    {C::Splash, "Splash", K::Image, C::PanelSeleccionIdioma, -1, 1, 321, 184, "", 0},
    {C::LabelVersion, "LabelVersion", K::Label, C::PanelSeleccionIdioma, 273, 5, 0, 0, "v1.3.2", 0},
    {C::Label1, "Label1", K::Label, C::PanelSeleccionIdioma, 4, 3, 0, 0,
     "ZenTrovia Portable - edici\xF3n de escritorio", 0},
    {C::ComboLanguages, "ComboLanguages", K::ComboBox, C::PanelSeleccionIdioma, 137, 93, 165, 21,
     kLanguagePrompt, 0},
};

static_assert(std::size(kTable) == static_cast<std::size_t>(Component::Form1),
              "one table row per component");

constexpr bool RowsInEnumOrder() {
  for (std::size_t i = 0; i < std::size(kTable); ++i)
    if (static_cast<std::size_t>(kTable[i].id) != i) return false;
  return true;
}
static_assert(RowsInEnumOrder(), "table rows follow the enum");

}  // namespace

std::span<const ComponentInfo> AllComponents() { return kTable; }

const ComponentInfo& Info(Component c) { return kTable[static_cast<std::size_t>(c)]; }

Component ComponentByName(const char* name) {
  for (const auto& row : kTable)
    if (std::strcmp(row.name, name) == 0) return row.id;
  return Component::Form1;
}

}  // namespace zt
