-- DIFFmax empty and invert levels spanning 12 m.
-- expect: W21
-- level: 1
-- text:  12.0 m!
-- text: G14
-- text: U1
UPDATE tbl_all SET DIFFmax = NULL;
UPDATE tbl_rvldaten SET GEO_ZU1 = 87.6 WHERE bez = 'G14';
