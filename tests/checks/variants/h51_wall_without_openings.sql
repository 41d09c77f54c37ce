-- A wall without any data of its openings.
-- expect: H51
-- level: 2
UPDATE tbl_rvldaten SET HVE_H = NULL, HVE_BU = NULL, HVE_N = NULL WHERE bez = 'W2';
