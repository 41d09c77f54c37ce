-- Component C_SANDFANG of the example plant klaeranlage.sql: the two aerated grit
-- chamber lanes between the division A1 and the confluence Z1 of the plant.
-- Lane 1: G5 (20 m, 1.5 m wide) -> W1 sluice gate (one opening 0.8 m x 0.35 m) -> G7;
-- lane 2: G6 -> W2 outlet wall (two openings 0.3 m x 0.4 m) -> G8.
-- The plant reads this file as klaeranlage_C_SANDFANG.mdb next to klaeranlage.mdb;
-- its elements take the place of the row C_SANDFANG. A component holds tbl_all too
-- (its settings are not read).

CREATE TABLE tbl_all (Titel varchar(199), Vmin double, Vmax double, Bmin double,
  Bmax double, Hmin double, Hmax double, Lmax double, DIFFmax double,
  Zeilen integer, Bezug double, Wasserstand double, Q_ls varchar(1),
  AnhangERG varchar(19), AnhangERK varchar(19), AnhangQVE varchar(19), datum Date);

CREATE TABLE tbl_rvldaten (id integer primary key, er integer, sr integer,
  bez varchar(12), zulauf1 varchar(12), zulauf2 varchar(12), ablauf1 varchar(12),
  ablauf2 varchar(12), beschreibung varchar(26), Q double, plotweg varchar(1),
  tz varchar(1), np varchar(1), out_erk varchar(1), out_tau varchar(1),
  aufteilung1 double, aufteilung2 double, geloescht integer,
  GEO_L double, GEO_K double, GEO_C double, GEO_C2 double,
  GEO_ZO1 double, GEO_oT1 varchar(1), GEO_oHS1 double,
  GEO_oH11 double, GEO_oB11 double, GEO_oH12 double, GEO_oB12 double, GEO_oH13 double,
  GEO_oB13 double, GEO_oH14 double, GEO_oB14 double, GEO_oH15 double, GEO_oB15 double,
  GEO_ZU1 double, GEO_uT1 varchar(1), GEO_uHS1 double,
  GEO_uH11 double, GEO_uB11 double, GEO_uH12 double, GEO_uB12 double, GEO_uH13 double,
  GEO_uB13 double, GEO_uH14 double, GEO_uB14 double, GEO_uH15 double, GEO_uB15 double,
  GEO_ZO2 double, GEO_oT2 varchar(1), GEO_oHS2 double,
  GEO_oH21 double, GEO_oB21 double, GEO_oH22 double, GEO_oB22 double, GEO_oH23 double,
  GEO_oB23 double, GEO_oH24 double, GEO_oB24 double, GEO_oH25 double, GEO_oB25 double,
  GEO_ZU2 double, GEO_uT2 varchar(1), GEO_uHS2 double,
  GEO_uH21 double, GEO_uB21 double, GEO_uH22 double, GEO_uB22 double, GEO_uH23 double,
  GEO_uB23 double, GEO_uH24 double, GEO_uB24 double, GEO_uH25 double, GEO_uB25 double,
  HVE_HVE double, HVE_zeta1 double, HVE_zeta2 double, HVE_zeta3 double, HVE_zeta4 double,
  HVE_zeta5 double, HVE_zeta6 double, HVE_zeta1_2 double, HVE_zeta2_2 double,
  HVE_zeta3_2 double, HVE_zeta4_2 double, HVE_zeta5_2 double, HVE_zeta6_2 double,
  HVE_mue double, HVE_n_c double, HVE_H double, HVE_BU double, HVE_BO double,
  HVE_A double, HVE_T varchar(1), HVE_N integer,
  HVE_ERLAEUTER1 varchar(255), HVE_ERLAEUTER2 varchar(255), HVE_ERLAEUTER3 varchar(255),
  HVE_ERLAEUTER4 varchar(255), HVE_ERLAEUTER5 varchar(255), HVE_ERLAEUTER6 varchar(255));

-- aerated grit chamber lane 1: 20 m, 1.5 m wide, 2.0 m deep
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (10, 1, 'G5', 'A1', 'W1', 'Sandfang Straße 1', 'J', 20.0, 70.0, 99.25, 'T', 2.0, 1.5, 99.25, 'T', 2.0, 1.5);

-- sluice gate at the end of lane 1: one opening 0.8 m wide, raised 0.35 m
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, HVE_T, HVE_H, HVE_BU, HVE_N, HVE_zeta1, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11)
  VALUES (20, 1, 'W1', 'G5', 'G7', 'Schütz #SCHUETZ Straße 1', 'J', 'T', 0.35, 0.8, 1, 1.5, 99.25, 'T', 2.0, 1.5);

-- outlet channel of lane 1, 5 m
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (30, 1, 'G7', 'W1', 'Z1', 'Ablauf Straße 1', 'J', 5.0, 70.0, 99.2, 'T', 1.0, 1.0, 99.195, 'T', 1.0, 1.0);

-- aerated grit chamber lane 2, as lane 1
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (40, 1, 'G6', 'A1', 'W2', 'Sandfang Straße 2', 'J', 20.0, 70.0, 99.25, 'T', 2.0, 1.5, 99.25, 'T', 2.0, 1.5);

-- outlet wall of lane 2: two openings 0.3 m wide and 0.4 m high
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, HVE_T, HVE_H, HVE_BU, HVE_N, HVE_zeta1, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11)
  VALUES (50, 1, 'W2', 'G6', 'G8', 'Ablaufwand Straße 2', 'J', 'T', 0.4, 0.3, 2, 1.8, 99.25, 'T', 2.0, 1.5);

-- outlet channel of lane 2, 5 m
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (60, 1, 'G8', 'W2', 'Z1', 'Ablauf Straße 2', 'J', 5.0, 70.0, 99.2, 'T', 1.0, 1.0, 99.195, 'T', 1.0, 1.0);
