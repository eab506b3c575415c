#pragma once
// The browser's settings record: the home page and the visibility of the fourteen toolbar
// command buttons, in toolbar order.

#include <QString>

#include <array>

namespace vyn {

struct tyConfig {
  QString HomePage;
  bool PageAccueil = false;
  bool PagePrecedente = false;
  bool PageSuivante = false;
  bool Arreter = false;
  bool Rafraichir = false;
  bool PageRecherche = false;
  bool Annuler = false;
  bool Refaire = false;
  bool Coller = false;
  bool SelectionnerTout = false;
  bool ChercherDansPage = false;
  bool ApercuAvantImpression = false;
  bool Imprimer = false;
  bool ProprietesPage = false;
};

// The flags in record order (also toolbar and options-dialog order): `config.*ConfigFlags[i]`.
inline constexpr std::array<bool tyConfig::*, 14> ConfigFlags = {
    &tyConfig::PageAccueil,      &tyConfig::PagePrecedente, &tyConfig::PageSuivante,
    &tyConfig::Arreter,          &tyConfig::Rafraichir,     &tyConfig::PageRecherche,
    &tyConfig::Annuler,          &tyConfig::Refaire,        &tyConfig::Coller,
    &tyConfig::SelectionnerTout, &tyConfig::ChercherDansPage,
    &tyConfig::ApercuAvantImpression, &tyConfig::Imprimer, &tyConfig::ProprietesPage};

// Their registry value names, in the same order.
inline constexpr std::array<const char*, 14> ConfigFlagNames = {
    "PageAccueil",   "PagePrecedente", "PageSuivante", "Arreter",          "Rafraichir",
    "PageRecherche", "Annuler",        "Refaire",      "Coller",           "SelectionnerTout",
    "ChercherDansPage", "ApercuAvantImpression", "Imprimer", "ProprietesPage"};

}  // namespace vyn
